#include "tests/support/TestSupport.h"
#include "foundation/clsRWIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ht::clsRWIni;

namespace {

// A settings file as the program and the user leave it: comments, blank lines, a key
// name repeated in another section, and lines in the old GB2312 code page ("家庭收支",
// "张三") that do not decode as UTF-8.
const QByteArray household = "; \xbc\xd2\xcd\xa5\xca\xd5\xd6\xa7\r\n"
                             "[client]\r\nwindowstate=0\r\nleft=10\r\n\r\n"
                             "[config]\r\n;Version=0.1\r\nVersion=1.0\r\nTheme = blue \r\nOwner=\xd5\xc5\xc8\xfd\r\n"
                             "name=家庭收支\r\nurl=a?b=c\r\n\r\n"
                             "[other]\r\nVersion=9\r\n";

} // namespace

class TstClsRWIni : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(QStringLiteral("update.ini"));

    // The file holding bytes (a null array: no file), named with blanks around it.
    clsRWIni ini(const QByteArray &bytes) const
    {
        if (!bytes.isNull())
            ht::test::writeFile(m_path, bytes);
        clsRWIni ini;
        ini.SpecifyIni(QStringLiteral("  ") + m_path + QStringLiteral(" \t"));
        return ini;
    }
    QByteArray contents() const { return ht::test::fileContents(m_path); }

private slots:
    void init() { QVERIFY(m_dir.isValid() && (QFile::remove(m_path) || !QFile::exists(m_path))); }

    void newFileAndNamesIgnoringCase()
    {
        for (const QByteArray &start : {QByteArray(), QByteArray("")}) { // no file yet, an empty file
            clsRWIni file = ini(start);
            QVERIFY(file.WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QStringLiteral("2")));
            QVERIFY(file.WriteString(QStringLiteral("Client"), QStringLiteral("left"), QStringLiteral("15")));
            QCOMPARE(contents(), QByteArray("[client]\r\nwindowstate=2\r\nleft=15\r\n"));
            // Other letter case reads and writes the same entry, never a second one.
            QVERIFY(file.WriteString(QStringLiteral("CLIENT"), QStringLiteral("WindowState"), QStringLiteral("3")));
            QCOMPARE(contents(), QByteArray("[client]\r\nwindowstate=3\r\nleft=15\r\n"));
            QCOMPARE(file.ReadString(QStringLiteral("cLiEnT"), QStringLiteral("LEFT"), 256), QStringLiteral("15"));
            QFile::remove(m_path);
        }
    }

    // Lines the write does not touch go back byte for byte, whatever their code page.
    void writeKeepsOtherLines()
    {
        const auto with = [](const char *from, const char *to) { return QByteArray(household).replace(from, to); };
        const std::tuple<const char *, const char *, QString, QByteArray> cases[] = {
            {"config", "Version", "1.2.8", with("\r\nVersion=1.0\r\n", "\r\nVersion=1.2.8\r\n")},
            {"client", "windowstate", "2", with("windowstate=0", "windowstate=2")},
            {"other", "Version", "10", with("Version=9", "Version=10")},
            {"config", "theme", "red", with("Theme = blue \r\n", "Theme=red\r\n")},
            {"config", "Skin", "1", with("url=a?b=c\r\n", "url=a?b=c\r\nSkin=1\r\n")}, // before the blank line
            {"other", "x", "y", with("Version=9\r\n", "Version=9\r\nx=y\r\n")},
            {"用户", "上次", "张三：1234.56元 a?b=c", household + "[用户]\r\n上次=张三：1234.56元 a?b=c\r\n"},
            {"client", "left", "", with("left=10", "left=")}};
        for (const auto &[section, key, value, expected] : cases) {
            clsRWIni file = ini(household);
            QVERIFY(file.WriteString(QString::fromUtf8(section), QString::fromUtf8(key), value));
            QCOMPARE(contents(), expected);
            QCOMPARE(file.ReadString(QString::fromUtf8(section), QString::fromUtf8(key), 256), value);
        }
    }

    void readStringAndInt()
    {
        clsRWIni file = ini(household);
        const std::tuple<const char *, const char *, int, QString> cases[] = {
            {"config", "Version", 256, "1.0"}, {"config", "theme", 256, "blue"},  {"config", "url", 256, "a?b=c"},
            {"config", "url", 6, "a?b=c"},     {"config", "url", 5, "a?b="},      {"config", "url", 2, "a"},
            {"config", "url", 1, ""},          {"config", "name", 3, "家庭"},     {"config", "none", 256, ""},
            {"config", "left", 256, ""},       {"nosection", "Version", 256, ""}, {"config", ";Version", 256, ""}};
        for (const auto &[section, key, size, value] : cases)
            QCOMPARE(file.ReadString(QString::fromUtf8(section), QString::fromUtf8(key), size), value);

        const QString earlier = QStringLiteral("earlier message"), cannotRead = QStringLiteral("不能读取");
        file = ini("[client]\r\nzero=0\r\nanswer=42\r\nmixed=12abc\r\nword=abc\r\npadded= 7 \r\nempty=\r\n");
        const std::tuple<const char *, int, QString> ints[] = {
            {"zero", 0, earlier}, {"none", 0, cannotRead}, {"answer", 42, earlier}, {"mixed", 12, earlier},
            {"word", 0, earlier}, {"padded", 7, earlier},  {"empty", 0, earlier}};
        for (const auto &[key, value, message] : ints) {
            file.ErrorMsg = earlier;
            QCOMPARE(file.ReadInt(QStringLiteral("CLIENT"), QString::fromUtf8(key)), value);
            QVERIFY2(file.ErrorMsg == message, key);
        }
        QFile::remove(m_path);
        QCOMPARE(file.ReadInt(QStringLiteral("client"), QStringLiteral("answer")), 0);
        QCOMPARE(file.ErrorMsg, cannotRead);
    }

    // No file named, or one that cannot be written: told, and nothing left behind.
    void unspecifiedOrUnwritableFile()
    {
        for (const QString &path : {QString(), QStringLiteral(" \t ")}) {
            clsRWIni none;
            none.SpecifyIni(path);
            QCOMPARE(none.ReadString(QStringLiteral("config"), QStringLiteral("Version"), 256), QString());
            QVERIFY(!none.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1")));
            QCOMPARE(none.ErrorMsg, QStringLiteral("没有指定 INI 文件"));
        }
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(dir.mkdir(QStringLiteral("sub")));
        QVERIFY(QFile(dir.filePath(QStringLiteral("plain.txt"))).open(QIODevice::WriteOnly));
        for (const char *path : {"nofolder/update.ini", "plain.txt/update.ini", "sub"}) {
            clsRWIni file;
            file.SpecifyIni(dir.filePath(QString::fromUtf8(path)));
            QVERIFY2(!file.WriteString(QStringLiteral("client"), QStringLiteral("left"), QStringLiteral("2")), path);
            QCOMPARE(file.ErrorMsg, QStringLiteral("写入失败"));
            // Not even a half-written copy beside it: the folder holds what it held, "sub" nothing.
            const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
            QCOMPARE(dir.entryList(all, QDir::Name) + QDir(dir.filePath(QStringLiteral("sub"))).entryList(all),
                     QStringList({"plain.txt", "sub"}));
        }
    }
};

QTEST_GUILESS_MAIN(TstClsRWIni)
#include "tst_clsrwini.moc"
