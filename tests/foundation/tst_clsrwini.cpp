#include "TestSupport.h"
#include "clsRWIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using ht::clsRWIni;

namespace {

const QString noFile = QStringLiteral("没有指定 INI 文件");
const QString cannotRead = QStringLiteral("不能读取");
const QString writeFailed = QStringLiteral("写入失败");
const QString marker = QStringLiteral("earlier message");

// A settings file as the program and the user leave it: comments, blank lines,
// a key name repeated in another section.
const QByteArray household = "; household settings\r\n"
                             "[client]\r\n"
                             "windowstate=0\r\n"
                             "left=10\r\n"
                             "\r\n"
                             "[config]\r\n"
                             ";Version=0.1\r\n"
                             "Version=1.0\r\n"
                             "Theme = blue \r\n"
                             "\r\n"
                             "[other]\r\n"
                             "Version=9\r\n";

} // namespace

class TstClsRWIni : public QObject {
    Q_OBJECT

private slots:
    void init();

    void unspecifiedFile();
    void specifyTrimsBlanks();
    void writeNewFile_data();
    void writeNewFile();
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void writeKeepsOtherLines_data();
    void writeKeepsOtherLines();
    void writeKeepsUndecodableBytes();
    void readString_data();
    void readString();
    void readInt_data();
    void readInt();
    void writeFails_data();
    void writeFails();
    void roundTrip_data();
    void roundTrip();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("update.ini")); }
    void put(const QByteArray &bytes) const;
    QByteArray contents() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstClsRWIni::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstClsRWIni::put(const QByteArray &bytes) const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(iniPath()));
}

QByteArray TstClsRWIni::contents() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TstClsRWIni::unspecifiedFile()
{
    clsRWIni reader;
    QCOMPARE(reader.ReadString(QStringLiteral("config"), QStringLiteral("Version"), 256), QString());
    QCOMPARE(reader.ErrorMsg, noFile);

    clsRWIni writer;
    QVERIFY(!writer.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1")));
    QCOMPARE(writer.ErrorMsg, noFile);

    // Only blanks is no file either.
    clsRWIni blank;
    blank.SpecifyIni(QStringLiteral("   "));
    QVERIFY(!blank.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1")));
    QCOMPARE(blank.ErrorMsg, noFile);
}

void TstClsRWIni::specifyTrimsBlanks()
{
    clsRWIni ini;
    ini.SpecifyIni(QStringLiteral("  ") + iniPath() + QStringLiteral(" \t"));
    QCOMPARE(ini.fileName(), iniPath());

    QVERIFY(ini.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1.2.8")));
    QVERIFY(QFile::exists(iniPath()));
    QCOMPARE(ini.ReadString(QStringLiteral("config"), QStringLiteral("Version"), 256), QStringLiteral("1.2.8"));
}

void TstClsRWIni::writeNewFile_data()
{
    QTest::addColumn<bool>("existsEmpty");

    QTest::newRow("no file yet") << false;
    QTest::newRow("empty file") << true;
}

void TstClsRWIni::writeNewFile()
{
    QFETCH(bool, existsEmpty);
    if (existsEmpty)
        put({});

    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    QVERIFY(ini.WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QStringLiteral("2")));
    QCOMPARE(ini.ErrorMsg, QString());
    QCOMPARE(contents(), QByteArray("[client]\r\nwindowstate=2\r\n"));

    QVERIFY(ini.WriteString(QStringLiteral("client"), QStringLiteral("left"), QStringLiteral("15")));
    QCOMPARE(contents(), QByteArray("[client]\r\nwindowstate=2\r\nleft=15\r\n"));
    QCOMPARE(ini.ReadString(QStringLiteral("client"), QStringLiteral("windowstate"), 256), QStringLiteral("2"));
    QCOMPARE(ini.ReadInt(QStringLiteral("client"), QStringLiteral("left")), 15);
}

void TstClsRWIni::namesIgnoreCase_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("upper section, lower key") << QStringLiteral("CONFIG") << QStringLiteral("version");
    QTest::newRow("mixed") << QStringLiteral("Config") << QStringLiteral("VERSION");
    QTest::newRow("as written") << QStringLiteral("config") << QStringLiteral("Version");
}

void TstClsRWIni::namesIgnoreCase()
{
    QFETCH(QString, section);
    QFETCH(QString, key);

    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    QVERIFY(ini.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1.0")));
    QCOMPARE(ini.ReadString(section, key, 256), QStringLiteral("1.0"));

    // The same names in other letter case write the same entry, not a second one.
    QVERIFY(ini.WriteString(section, key, QStringLiteral("1.2.8")));
    QCOMPARE(ini.ReadString(QStringLiteral("config"), QStringLiteral("Version"), 256), QStringLiteral("1.2.8"));
    const QByteArray bytes = contents();
    QCOMPARE(bytes.count("1.2.8"), 1);
    QVERIFY2(!bytes.contains("1.0"), bytes.constData());
    QCOMPARE(bytes.toLower().count("[config]"), 1);
}

void TstClsRWIni::writeKeepsOtherLines_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    auto with = [](const char *from, const char *to) {
        QByteArray b = household;
        if (!b.contains(from))
            qFatal("no %s", from);
        return b.replace(from, to);
    };
    QTest::newRow("replace in the middle section")
        << QStringLiteral("config") << QStringLiteral("Version") << QStringLiteral("1.2.8")
        << with("\r\nVersion=1.0\r\n", "\r\nVersion=1.2.8\r\n");
    QTest::newRow("replace in the first section")
        << QStringLiteral("client") << QStringLiteral("windowstate") << QStringLiteral("2")
        << with("windowstate=0", "windowstate=2");
    QTest::newRow("replace in the last section")
        << QStringLiteral("other") << QStringLiteral("Version") << QStringLiteral("10")
        << with("Version=9", "Version=10");
    QTest::newRow("replace a value written with blanks")
        << QStringLiteral("config") << QStringLiteral("theme") << QStringLiteral("red")
        << with("Theme = blue \r\n", "Theme=red\r\n");
    QTest::newRow("new key joins its section, before the blank line")
        << QStringLiteral("config") << QStringLiteral("Skin") << QStringLiteral("1")
        << with("Theme = blue \r\n", "Theme = blue \r\nSkin=1\r\n");
    QTest::newRow("new key in the first section")
        << QStringLiteral("CLIENT") << QStringLiteral("top") << QStringLiteral("20")
        << with("left=10\r\n", "left=10\r\ntop=20\r\n");
    QTest::newRow("new key in the last section")
        << QStringLiteral("other") << QStringLiteral("x") << QStringLiteral("y")
        << with("Version=9\r\n", "Version=9\r\nx=y\r\n");
    QTest::newRow("new section at the end")
        << QStringLiteral("用户") << QStringLiteral("上次") << QStringLiteral("张三")
        << household + QStringLiteral("[用户]\r\n上次=张三\r\n").toUtf8();
    QTest::newRow("empty value")
        << QStringLiteral("client") << QStringLiteral("left") << QString()
        << with("left=10", "left=");
}

void TstClsRWIni::writeKeepsOtherLines()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);

    put(household);
    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    QVERIFY(ini.WriteString(section, key, value));
    QCOMPARE(contents(), expected);
    QCOMPARE(ini.ReadString(section, key, 256), value);
}

void TstClsRWIni::writeKeepsUndecodableBytes()
{
    // Edited by hand in another code page: lines the write does not touch stay as they were.
    const QByteArray legacy = "; \xbc\xd2\xcd\xa5\xca\xd5\xd6\xa7\r\n" // GB2312 "家庭收支"
                              "[config]\r\n"
                              "Version=1.0\r\n"
                              "Owner=\xd5\xc5\xc8\xfd\r\n";
    put(legacy);
    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    QVERIFY(ini.WriteString(QStringLiteral("config"), QStringLiteral("Version"), QStringLiteral("1.2.8")));
    QCOMPARE(contents(), QByteArray(legacy).replace("Version=1.0", "Version=1.2.8"));
}

void TstClsRWIni::readString_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("value");

    const QString cfg = QStringLiteral("config");
    const QString key = QStringLiteral("key");
    QTest::newRow("fits with room") << cfg << key << 256 << QStringLiteral("abcdef");
    QTest::newRow("exactly fits") << cfg << key << 7 << QStringLiteral("abcdef");
    QTest::newRow("one too long") << cfg << key << 6 << QStringLiteral("abcde");
    QTest::newRow("much too long") << cfg << key << 3 << QStringLiteral("ab");
    QTest::newRow("room for nothing") << cfg << key << 1 << QString();
    QTest::newRow("Chinese counted in characters") << cfg << QStringLiteral("name") << 3 << QStringLiteral("家庭");
    QTest::newRow("blanks around the value") << cfg << QStringLiteral("padded") << 256 << QStringLiteral("a b");
    QTest::newRow("value holding =") << cfg << QStringLiteral("url") << 256 << QStringLiteral("a?b=c");
    QTest::newRow("missing key") << cfg << QStringLiteral("none") << 256 << QString();
    QTest::newRow("key of another section") << cfg << QStringLiteral("elsewhere") << 256 << QString();
    QTest::newRow("missing section") << QStringLiteral("nosection") << key << 256 << QString();
    QTest::newRow("comment is no key") << cfg << QStringLiteral(";key") << 256 << QString();
}

void TstClsRWIni::readString()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, size);
    QFETCH(QString, value);

    put(QStringLiteral("[other]\r\n"
                       "elsewhere=1\r\n"
                       "[config]\r\n"
                       ";key=comment\r\n"
                       "key=abcdef\r\n"
                       "name=家庭收支\r\n"
                       "padded =  a b \r\n"
                       "url=a?b=c\r\n")
            .toUtf8());
    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    QCOMPARE(ini.ReadString(section, key, size), value);
}

void TstClsRWIni::readInt_data()
{
    QTest::addColumn<QByteArray>("file"); // a null array: no file at all
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");

    const QByteArray file = "[client]\r\nzero=0\r\nanswer=42\r\nmixed=12abc\r\nword=abc\r\npadded= 7 \r\nempty=\r\n";
    QTest::newRow("zero is a value") << file << QStringLiteral("zero") << 0 << marker;
    QTest::newRow("missing key") << file << QStringLiteral("none") << 0 << cannotRead;
    QTest::newRow("number") << file << QStringLiteral("answer") << 42 << marker;
    QTest::newRow("leading digits") << file << QStringLiteral("mixed") << 12 << marker;
    QTest::newRow("no digits") << file << QStringLiteral("word") << 0 << marker;
    QTest::newRow("blanks around") << file << QStringLiteral("padded") << 7 << marker;
    QTest::newRow("empty value") << file << QStringLiteral("empty") << 0 << marker;
    QTest::newRow("missing file") << QByteArray() << QStringLiteral("answer") << 0 << cannotRead;
}

void TstClsRWIni::readInt()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(int, value);
    QFETCH(QString, message);

    if (!file.isNull())
        put(file);
    clsRWIni ini;
    ini.SpecifyIni(iniPath());
    ini.ErrorMsg = marker;
    QCOMPARE(ini.ReadInt(QStringLiteral("CLIENT"), key), value);
    QCOMPARE(ini.ErrorMsg, message);
}

void TstClsRWIni::writeFails_data()
{
    QTest::addColumn<QString>("path"); // below the test's folder

    QTest::newRow("missing folder") << QStringLiteral("nofolder/update.ini");
    QTest::newRow("folder is a file") << QStringLiteral("plain.txt/update.ini");
    QTest::newRow("path is a folder") << QStringLiteral("sub");
}

void TstClsRWIni::writeFails()
{
    QFETCH(QString, path);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    QFile plain(m_dir->filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    clsRWIni ini;
    ini.SpecifyIni(m_dir->filePath(path));
    QVERIFY(!ini.WriteString(QStringLiteral("client"), QStringLiteral("windowstate"), QStringLiteral("2")));
    QCOMPARE(ini.ErrorMsg, writeFailed);
    // Nothing is left behind, not even a half-written copy.
    const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    QCOMPARE(QDir(m_dir->path()).entryList(all, QDir::Name), QStringList({"plain.txt", "sub"}));
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("sub"))).isDir());
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("sub"))).entryList(all), QStringList());
}

void TstClsRWIni::roundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("Chinese value") << QStringLiteral("client") << QStringLiteral("user") << QStringLiteral("张三");
    QTest::newRow("Chinese names") << QStringLiteral("用户") << QStringLiteral("姓名") << QStringLiteral("李四 王五");
    QTest::newRow("mixed text") << QStringLiteral("config") << QStringLiteral("note")
                                << QStringLiteral("本月结余：1234.56元 (OK)");
    QTest::newRow("value holding =") << QStringLiteral("config") << QStringLiteral("url")
                                     << QStringLiteral("http://127.0.0.1/a?b=c");
}

void TstClsRWIni::roundTrip()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    clsRWIni writer;
    writer.SpecifyIni(iniPath());
    QVERIFY(writer.WriteString(section, key, value));
    QVERIFY2(contents().contains((key + QLatin1Char('=') + value).toUtf8() + "\r\n"), contents().constData());

    clsRWIni reader;
    reader.SpecifyIni(iniPath());
    QCOMPARE(reader.ReadString(section, key, 256), value);
}

QTEST_GUILESS_MAIN(TstClsRWIni)
#include "tst_clsrwini.moc"
