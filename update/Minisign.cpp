#include "update/Minisign.h"

#include <QFile>
#include <QList>

#include <sodium.h>

namespace ht::update {
namespace {

constexpr qsizetype keyIdBytes = 8;

QByteArray strictBase64(QByteArrayView text)
{
    const auto decoded = QByteArray::fromBase64Encoding(text.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? decoded.decoded : QByteArray();
}

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

bool ready()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}

// BLAKE2b-512 of the file, read in pieces.
QByteArray fileHash(QFile &file)
{
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0)
            return {};
        if (n == 0)
            break;
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char *>(piece.constData()), quint64(n));
    }
    QByteArray hash(crypto_generichash_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_final(&state, reinterpret_cast<unsigned char *>(hash.data()), hash.size());
    return hash;
}

bool signatureHolds(const QByteArray &signature, const unsigned char *message, quint64 length, const QByteArray &key)
{
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()), message, length,
                                       reinterpret_cast<const unsigned char *>(key.constData()))
        == 0;
}

} // namespace

std::optional<MinisignKey> readMinisignKey(const QByteArray &text)
{
    QList<QByteArray> lines = linesOf(text.trimmed());
    if (lines.size() == 2 && lines.first().startsWith("untrusted comment:"))
        lines.removeFirst();
    if (lines.size() != 1)
        return std::nullopt;
    const QByteArray raw = strictBase64(lines.first().trimmed());
    if (raw.size() != 2 + keyIdBytes + crypto_sign_PUBLICKEYBYTES || !raw.startsWith("Ed"))
        return std::nullopt;
    return MinisignKey{raw.mid(2, keyIdBytes), raw.mid(2 + keyIdBytes)};
}

std::optional<MinisignSignature> readMinisignSignature(const QByteArray &bytes)
{
    const QList<QByteArray> lines = linesOf(bytes);
    // Anything after the four lines may only be the final line end.
    if (lines.size() < 4 || (lines.size() > 4 && !(lines.size() == 5 && lines.at(4).isEmpty())))
        return std::nullopt;
    static constexpr char trustedPrefix[] = "trusted comment: ";
    if (!lines.at(0).startsWith("untrusted comment:") || !lines.at(2).startsWith(trustedPrefix))
        return std::nullopt;
    const QByteArray raw = strictBase64(lines.at(1));
    const QByteArray global = strictBase64(lines.at(3));
    if (raw.size() != 2 + keyIdBytes + crypto_sign_BYTES || global.size() != crypto_sign_BYTES)
        return std::nullopt;
    MinisignSignature sig;
    if (raw.startsWith("ED"))
        sig.prehashed = true;
    else if (!raw.startsWith("Ed"))
        return std::nullopt;
    sig.keyId = raw.mid(2, keyIdBytes);
    sig.signature = raw.mid(2 + keyIdBytes);
    sig.trustedComment = lines.at(2).mid(qsizetype(sizeof trustedPrefix) - 1);
    sig.globalSignature = global;
    return sig;
}

Verdict verifyMinisign(const MinisignKey &key, const MinisignSignature &sig, const QString &filePath)
{
    if (!ready() || key.publicKey.size() != crypto_sign_PUBLICKEYBYTES)
        return Verdict::Unreadable;
    if (sig.keyId != key.keyId)
        return Verdict::WrongKey;

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return Verdict::Unreadable;
    bool good = false;
    if (sig.prehashed) {
        const QByteArray hash = fileHash(file);
        if (hash.isEmpty())
            return Verdict::Unreadable;
        good = signatureHolds(sig.signature, reinterpret_cast<const unsigned char *>(hash.constData()),
                              quint64(hash.size()), key.publicKey);
    } else {
        // The old form signs the whole file: mapped, the pages come and go as read.
        const qint64 size = file.size();
        static const unsigned char none = 0;
        const uchar *data = size > 0 ? file.map(0, size) : &none;
        if (!data)
            return Verdict::Unreadable;
        good = signatureHolds(sig.signature, data, quint64(size), key.publicKey);
    }
    const QByteArray signedComment = sig.signature + sig.trustedComment;
    good = good
        && signatureHolds(sig.globalSignature, reinterpret_cast<const unsigned char *>(signedComment.constData()),
                          quint64(signedComment.size()), key.publicKey);
    return good ? Verdict::Good : Verdict::BadSignature;
}

bool namesVersion(const QByteArray &trustedComment, const QString &version)
{
    const QByteArray wanted = "version:" + version.toUtf8();
    const QList<QByteArray> words = trustedComment.simplified().split(' ');
    return words.contains(wanted);
}

} // namespace ht::update
