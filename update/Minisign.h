#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ht::update {

// A minisign public key: the key id and the Ed25519 key.
struct MinisignKey {
    QByteArray keyId;     // 8 bytes
    QByteArray publicKey; // 32 bytes
};

// A minisign signature file.
struct MinisignSignature {
    bool prehashed = false; // "ED": the signature covers the file's BLAKE2b-512 hash
    QByteArray keyId;       // 8 bytes
    QByteArray signature;   // 64 bytes
    QByteArray trustedComment;
    QByteArray globalSignature; // 64 bytes, over signature + trusted comment
};

// The key's base64 line, or a whole public key file; nothing for anything else.
std::optional<MinisignKey> readMinisignKey(const QByteArray &text);
// Four lines: the untrusted comment, the signature, the trusted comment, the global
// signature. Nothing when any part is missing or malformed.
std::optional<MinisignSignature> readMinisignSignature(const QByteArray &bytes);

enum class Verdict { Good, WrongKey, BadSignature, Unreadable };
// Checks the file's signature and the signed trusted comment with the key. The file is
// read in pieces (or mapped for the old unhashed form), never copied into memory.
Verdict verifyMinisign(const MinisignKey &key, const MinisignSignature &sig, const QString &filePath);

// The trusted comment names the version: one of its blank-separated words is "version:"
// followed by exactly that text.
bool namesVersion(const QByteArray &trustedComment, const QString &version);

} // namespace ht::update
