#include "foundation/clsRWIni.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>

#include <limits>

namespace ht {
namespace {

// The lines as stored, without their ends. Lines are decoded only to be matched,
// so those a write leaves alone go back byte for byte, whatever their code page.
QList<QByteArray> splitLines(const QByteArray &contents)
{
    QList<QByteArray> lines = contents.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The section a line opens, or no section.
bool sectionOf(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool keyOf(const QString &line, QString *key, QString *value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || line.trimmed().startsWith(QLatin1Char(';')))
        return false;
    *key = line.left(eq).trimmed();
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void clsRWIni::SpecifyIni(const QString &FilePathName)
{
    m_path = FilePathName.trimmed();
}

bool clsRWIni::checkFile()
{
    if (m_path.isEmpty()) {
        ErrorMsg = QStringLiteral("没有指定 INI 文件");
        return false;
    }
    ErrorMsg.clear();
    return true;
}

namespace profile {

std::optional<QString> value(const QByteArray &contents, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QByteArray &bytes : splitLines(contents)) {
        const QString line = QString::fromUtf8(bytes);
        QString name;
        if (sectionOf(line, &name)) {
            inSection = same(name, section);
            continue;
        }
        QString k, v;
        if (inSection && keyOf(line, &k, &v) && same(k, key))
            return v;
    }
    return std::nullopt;
}

QByteArray withValue(const QByteArray &contents, const QString &section, const QString &key, const QString &value)
{
    QList<QByteArray> lines = splitLines(contents);
    const QByteArray entry = (key + QLatin1Char('=') + value).toUtf8();
    qsizetype sectionLine = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        QString name;
        if (sectionOf(line, &name)) {
            if (sectionLine >= 0)
                break;
            if (same(name, section))
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        QString k;
        if (keyOf(line, &k, nullptr) && same(k, key)) {
            lines[i] = (k + QLatin1Char('=') + value).toUtf8();
            replaced = true;
        } else if (!line.trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!replaced) {
        if (sectionLine >= 0)
            lines.insert(lastInSection + 1, entry);
        else
            lines << (QLatin1Char('[') + section + QLatin1Char(']')).toUtf8() << entry;
    }
    return lines.join("\r\n") + "\r\n";
}

} // namespace profile

bool clsRWIni::lookup(const QString &section, const QString &key, QString *value) const
{
    if (m_path.isEmpty())
        return false;
    const std::optional<QString> v = profile::value(readAll(m_path), section, key);
    if (v && value)
        *value = *v;
    return v.has_value();
}

bool clsRWIni::WriteString(const QString &Section, const QString &key, const QString &Value)
{
    if (!checkFile())
        return false;
    const QByteArray contents = profile::withValue(readAll(m_path), Section, key, Value);
    // Written beside the old file and renamed into place: a crash never leaves half a file.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) < 0 || !file.commit()) {
        ErrorMsg = QStringLiteral("写入失败");
        return false;
    }
    return true;
}

QString clsRWIni::ReadString(const QString &Section, const QString &key, int Size)
{
    if (!checkFile())
        return {};
    QString value;
    if (!lookup(Section, key, &value) || Size <= 0)
        return {};
    return value.left(Size - 1);
}

qint32 clsRWIni::profileInt(const QString &section, const QString &key, qint32 fallback) const
{
    QString value;
    if (!lookup(section, key, &value))
        return fallback;
    qint64 n = 0;
    for (QChar c : value) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        n = qMin<qint64>(n * 10 + (c.unicode() - '0'), std::numeric_limits<qint32>::max());
    }
    return qint32(n);
}

qint32 clsRWIni::ReadInt(const QString &Section, const QString &key)
{
    const qint32 first = profileInt(Section, key, 0);
    if (first != 0)
        return first;
    if (profileInt(Section, key, 1) == 1) {
        ErrorMsg = QStringLiteral("不能读取");
        return 0;
    }
    return 0;
}

} // namespace ht
