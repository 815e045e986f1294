#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ht {

// Profile (INI) files: sections and keys match ignoring letter case, a write
// replaces a value in place and keeps every other line, lines end in CR LF.
class clsRWIni {
public:
    // The last failure: "没有指定 INI 文件", "写入失败", "不能读取", or empty.
    QString ErrorMsg;

    void SpecifyIni(const QString &FilePathName);
    QString fileName() const { return m_path; }

    bool WriteString(const QString &Section, const QString &key, const QString &Value);
    // At most Size - 1 characters of the value; empty when missing.
    QString ReadString(const QString &Section, const QString &key, int Size);
    // 0 for a missing key, with ErrorMsg "不能读取".
    qint32 ReadInt(const QString &Section, const QString &key);

private:
    bool checkFile();
    // The raw value, or no value when the file, section or key is missing.
    bool lookup(const QString &section, const QString &key, QString *value) const;
    qint32 profileInt(const QString &section, const QString &key, qint32 fallback) const;

    QString m_path;
};

// The profile semantics on a file's contents, apart from any file: what the settings
// files of both programs are read and written with, and what the fuzzer feeds.
namespace profile {
// The key's value in the section, blanks around it removed; none when either is missing.
std::optional<QString> value(const QByteArray &contents, const QString &section, const QString &key);
// The contents with the key set: replaced where it stands, or added after the section's
// last line (the section added at the end when missing). Every other line stays byte for
// byte; lines end in CR LF.
QByteArray withValue(const QByteArray &contents, const QString &section, const QString &key, const QString &value);
} // namespace profile

} // namespace ht
