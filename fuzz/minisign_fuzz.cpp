// Signature and key files as anyone may forge them: read with the right sizes or refused,
// and never accepted for a file they were not made for.
#include "update/Minisign.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

using namespace ht::update;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryFile file;
    static const bool written = file.open() && file.write("pursewick") == 9 && file.flush();
    static const MinisignKey key{
        QByteArray(8, '\1'), QByteArray::fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a")};
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto k = readMinisignKey(bytes); k && (k->keyId.size() != 8 || k->publicKey.size() != 32))
        __builtin_trap();
    const std::optional<MinisignSignature> sig = readMinisignSignature(bytes);
    if (!sig)
        return 0;
    if (sig->keyId.size() != 8 || sig->signature.size() != 64 || sig->globalSignature.size() != 64)
        __builtin_trap();
    namesVersion(sig->trustedComment, QStringLiteral("1.2.9"));
    if (written && verifyMinisign(key, *sig, file.fileName()) == Verdict::Good)
        __builtin_trap();
    return 0;
}
