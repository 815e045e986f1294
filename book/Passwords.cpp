#include "book/Passwords.h"

#include <QByteArray>

#include <sodium.h>

#include <stdexcept>

namespace ht::passwords {

namespace {

const QLatin1StringView tokenPrefix("$token$");

void ready()
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
}

} // namespace

std::size_t hashBytes()
{
    return crypto_pwhash_MEMLIMIT_INTERACTIVE;
}

QString hash(const QString &password)
{
    ready();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::bad_alloc();
    return QString::fromLatin1(out);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(QLatin1StringView(crypto_pwhash_STRPREFIX));
}

Check check(const QString &stored, const QString &typed)
{
    if (!isHash(stored))
        return {stored == typed, stored == typed};
    ready();
    const QByteArray h = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    if (crypto_pwhash_str_verify(h.constData(), utf8.constData(), quint64(utf8.size())) != 0)
        return {};
    return {true,
            crypto_pwhash_str_needs_rehash(h.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                           crypto_pwhash_MEMLIMIT_INTERACTIVE)
                != 0};
}

QString newToken()
{
    ready();
    QByteArray bytes(32, Qt::Uninitialized);
    randombytes_buf(bytes.data(), std::size_t(bytes.size()));
    return QString::fromLatin1(bytes.toHex());
}

// The token is random and long, so a fast hash is enough to keep it from being read back.
QString tokenHash(const QString &token)
{
    ready();
    const QByteArray in = token.toLatin1();
    QByteArray out(crypto_generichash_BYTES, Qt::Uninitialized);
    crypto_generichash(reinterpret_cast<unsigned char *>(out.data()), std::size_t(out.size()),
                       reinterpret_cast<const unsigned char *>(in.constData()), quint64(in.size()), nullptr, 0);
    return tokenPrefix + QString::fromLatin1(out.toHex());
}

bool isTokenHash(const QString &stored)
{
    return stored.startsWith(tokenPrefix);
}

} // namespace ht::passwords
