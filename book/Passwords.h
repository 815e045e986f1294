#pragma once

#include <QString>

namespace ht::passwords {

// What a login password is stored as: an Argon2id string that carries its own salt and limits.
QString hash(const QString &password);
// A stored value without the hash prefix is a password from an older release, kept as typed.
bool isHash(const QString &stored);

struct Check {
    bool ok = false;
    bool rehash = false; // right, but stored as typed or with weaker limits: store a new hash
};
Check check(const QString &stored, const QString &typed);

// A remembered login: 256 random bits, and what the database keeps of them.
QString newToken();
QString tokenHash(const QString &token);
bool isTokenHash(const QString &stored);

// The memory one hash takes.
std::size_t hashBytes();

} // namespace ht::passwords
