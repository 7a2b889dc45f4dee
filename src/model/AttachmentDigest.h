#pragma once

#include <QByteArray>

// Names attachment bytes by their content (SHA-256), as the store keeps them: once, however
// many notes hold them. Large bytes are hashed once for as long as any copy of them is alive:
// the digest is remembered with the shared buffer, which the memo keeps from being changed or
// freed, so that saving a card with a large picture after each keystroke costs no hashing.
class AttachmentDigest final
{
public:
    AttachmentDigest() = delete;

    static constexpr qsizetype size = 32;

    static QByteArray of(const QByteArray& bytes);
    // Bytes read back under their digest: no need to hash them again.
    static void remember(const QByteArray& bytes, const QByteArray& digest);

    // How many buffers are remembered now (for tests).
    static qsizetype rememberedCount();
};
