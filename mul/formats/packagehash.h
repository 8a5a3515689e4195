#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace qm {

// The two 32-bit results of the name hash: `primary` is the one the function returns first.
struct NameHashPair {
    quint32 primary = 0;
    quint32 secondary = 0;
};

// The public-domain "lookup3" hashlittle2 over `length` bytes, with the two initial values
// `initPrimary` and `initSecondary` (both 0 for package names).
NameHashPair hashLittle2(const char* bytes, qsizetype length, quint32 initPrimary = 0,
                         quint32 initSecondary = 0);

// The 64-bit hash a package stores for an entry name: primary | secondary << 32.
quint64 packageNameHash(const QByteArray& name);

} // namespace qm
