// Date texts, row names and the file test the core library shares.
#include "tests/support/TestSupport.h"
#include "foundation/DateText.h"
#include "foundation/FileExists.h"
#include "foundation/NameText.h"
#include "foundation/Program.h"
#include "foundation/StoredDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TstCore : public QObject {
    Q_OBJECT

private slots:
    void dateTexts()
    {
        const QString none;
        // clang-format off
        const std::tuple<QVariant, QString, QString> cases[] = {
            {QDateTime(QDate(2023, 12, 1), QTime(0, 5)), "2023年12月01日 00点05分", "星期五"},
            {QDateTime(QDate(2024, 3, 5), QTime(20, 7, 9)), "2024年03月05日 20点07分", "星期二"},
            {QDate(2023, 12, 1), "2023年12月01日 00点00分", "星期五"},
            {QDate(2024, 3, 3), "2024年03月03日 00点00分", "星期天"}, // Qt counts Sunday as 7
            {"2024-03-05 08:07:09", "2024年03月05日 08点07分", "星期二"},
            {"2023-02-30", none, none}, {QString(), none, none}, {QVariant(), none, none}, {QDateTime(), none, none}};
        // clang-format on
        for (const auto &[value, dateTime, week] : cases) {
            QCOMPARE(ht::chsDateTime(value), dateTime);
            QCOMPARE(ht::chsDate(value), dateTime.left(12)); // "2024年03月05日 " keeps its blank
            QCOMPARE(ht::chsWeek(value), week);
        }
        QCOMPARE(ht::fullTime(QTime(20, 7, 9)), QStringLiteral("20:07:09"));

        // Both readers of stored dates, and toDateTime on top of them, agree on every shape.
        const QDate mar5(2024, 3, 5);
        // clang-format off
        const std::pair<const char *, QDateTime> shapes[] = {
            {"2024-03-05 08:07:09", QDateTime(mar5, QTime(8, 7, 9))}, {" 2024-03-05 ", QDateTime(mar5, QTime(0, 0))},
            {"2024-03-05T08:07", QDateTime(mar5, QTime(8, 7))}, {"2024/3/5 8:07:09", QDateTime(mar5, QTime(8, 7, 9))},
            {"2024/3/5", QDateTime(mar5, QTime(0, 0))}, {"2024-02-30", {}}, {"2024-03-05 25:00", {}},
            {"2024/13/5", {}}, {"20240305", {}}, {"明天", {}}, {"", {}}};
        // clang-format on
        for (const auto &[text, expected] : shapes) {
            const QString qtext = QString::fromUtf8(text);
            // the QStringView and the UTF-8 overload
            for (const auto &parsed : {ht::parseStoredDate(QStringView(qtext)), ht::parseStoredDate(text)})
                QCOMPARE(parsed ? parsed->toDateTime() : QDateTime(), expected);
            QCOMPARE(ht::toDateTime(qtext), expected);
        }
    }

    void rowNames()
    {
        QCOMPARE(ht::SQLCut(QStringLiteral("50% off's {a b}")), QStringLiteral("50 offs {a b}"));
        QCOMPARE(ht::SQLCut(QStringLiteral("%'%'")), QString());
    }

    void filesExist()
    {
        ht::test::ProgramFolder folder(false);
        QVERIFY(QDir(folder.dir()).mkdir(QStringLiteral("sub")));
        for (const char *file : {"normal.txt", ".hidden", "sub/run.log"}) {
            QFile f(folder.path(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        }
        const std::pair<const char *, bool> names[] = {
            {"normal.txt", true}, {"missing.txt", false}, {"nofolder/normal.txt", false}, {"sub", false},
            {".hidden", false},   {"*.txt", true},        {"norma?.txt", true},           {"sub/*.log", true},
            {"*.csv", false},     {"su*", false},         {"nofolder/*.txt", false}};
        for (const auto &[name, exists] : names)
            QVERIFY2(ht::fileExists(folder.path(QString::fromLatin1(name))) == exists, name);
        QVERIFY(!ht::fileExists(QString()));
    }

    // A build folder keeps its data; an installed program gives each user a folder of their own.
    void dataPlace()
    {
        using ht::program::settleDataPlace;
        using ht::test::fileContents, ht::test::writeFile;
        ht::test::ProgramFolder root(false);
        const QString bin = root.path("usr/bin"), shipped = root.path("usr/share/hearthtally/syslibs.dll");
        const QString user = root.path("home"), db = user + "/syslibs.dll";
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(QFileInfo(shipped).path()));
        auto place = settleDataPlace(bin, user);
        QVERIFY(place.installed && place.error.contains(shipped));
        QVERIFY(QDir(user).isEmpty());

        writeFile(shipped, "shipped");
        place = settleDataPlace(bin, user);
        QVERIFY(place.installed && place.error.isEmpty() && place.folder == user);
        const auto mode = [](const QString &path) { return int(QFile::permissions(path)) & 0x7077; }; // as in ls
        QCOMPARE(QList<int>({mode(user), mode(db)}), QList<int>({0x7000, 0x6000}));
        QCOMPARE(fileContents(db), QByteArray("shipped"));
        writeFile(db, "records"); // never replaced by the template again
        QVERIFY(settleDataPlace(bin, user).error.isEmpty() && fileContents(db) == "records");

        writeFile(bin + "/syslibs.dll", "portable");
        place = settleDataPlace(bin, root.path("elsewhere"));
        QVERIFY(!place.installed && place.error.isEmpty() && place.folder == bin);
        QVERIFY(!QFileInfo::exists(root.path("elsewhere")));
    }
};

QTEST_GUILESS_MAIN(TstCore)
#include "tst_core.moc"
