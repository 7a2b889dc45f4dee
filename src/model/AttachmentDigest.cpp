#include "AttachmentDigest.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMutex>

#include <algorithm>

namespace {

// Smaller bytes are hashed faster than they are looked up.
constexpr qsizetype smallestRemembered = 16 * 1024;

// data_ptr() has no const form in Qt 6.4; reading it changes nothing.
const QByteArray::DataPointer& dataOf(const QByteArray& bytes)
{
    return const_cast<QByteArray&>(bytes).data_ptr();
}

struct Memo
{
    struct Entry
    {
        QByteArray pinned; // shares the buffer, so that its contents stay as they were hashed
        QByteArray digest;
    };
    QMutex mutex;
    QHash<const char*, Entry> entries;
    qsizetype pruneAt = 64;

    // Forgets the buffers that nobody but the memo holds any more.
    void prune()
    {
        entries.removeIf([](const auto& it) { return !dataOf(it.value().pinned).isShared(); });
        pruneAt = std::max<qsizetype>(64, 2 * entries.size());
    }

    void insert(const QByteArray& bytes, const QByteArray& digest)
    {
        if (entries.size() >= pruneAt)
            prune();
        entries.insert(bytes.constData(), {bytes, digest});
    }
};

Memo& memo()
{
    static Memo instance;
    return instance;
}

// Only a buffer the array owns can be pinned; raw data may change under it.
bool rememberable(const QByteArray& bytes)
{
    return bytes.size() >= smallestRemembered && dataOf(bytes).isMutable();
}

} // namespace

QByteArray AttachmentDigest::of(const QByteArray& bytes)
{
    if (!rememberable(bytes))
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    Memo& m = memo();
    {
        const QMutexLocker lock(&m.mutex);
        const auto it = m.entries.constFind(bytes.constData());
        if (it != m.entries.cend() && it->pinned.size() == bytes.size())
            return it->digest;
    }
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    const QMutexLocker lock(&m.mutex);
    m.insert(bytes, digest);
    return digest;
}

void AttachmentDigest::remember(const QByteArray& bytes, const QByteArray& digest)
{
    if (!rememberable(bytes) || digest.size() != size)
        return;
    Memo& m = memo();
    const QMutexLocker lock(&m.mutex);
    m.insert(bytes, digest);
}

qsizetype AttachmentDigest::rememberedCount()
{
    Memo& m = memo();
    const QMutexLocker lock(&m.mutex);
    m.prune();
    return m.entries.size();
}
