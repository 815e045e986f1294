#include "tests/support/TestSupport.h"
#include "foundation/FileExists.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TstFileExists : public QObject {
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TstFileExists)
#include "tst_fileexists.moc"
