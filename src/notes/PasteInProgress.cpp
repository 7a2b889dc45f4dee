#include "PasteInProgress.h"

#include "NotesDocument.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {
// About a few hundred lines of notes: a piece is laid out well within a frame.
constexpr qsizetype pieceLength = 8000;
} // namespace

PasteInProgress::PasteInProgress(const QTextCursor& cursor, RichText text)
    : m_cursor(cursor)
    , m_text(std::move(text))
{}

bool PasteInProgress::insertUntil(const QDeadlineTimer& deadline)
{
    do
        insertPiece();
    while (!isDone() && !deadline.hasExpired());
    return isDone();
}

void PasteInProgress::insertPiece()
{
    qsizetype length = std::min(pieceLength, m_text.length() - m_inserted);
    // A piece never ends between the two halves of a character.
    if (m_inserted + length < m_text.length() &&
        m_text.text().at(m_inserted + length - 1).isHighSurrogate())
        ++length;
    m_cursor.beginEditBlock();
    m_cursor.removeSelectedText();
    const int start = m_cursor.position();
    NotesDocument::insertRichText(m_cursor, m_text.mid(m_inserted, length));
    restyleLines(start, m_cursor.position());
    m_cursor.endEditBlock();
    m_inserted += length;
}

void PasteInProgress::restyleLines(int from, int to)
{
    QTextDocument* document = m_cursor.document();
    const QTextBlock first = document->findBlock(from);
    const QTextBlock last = document->findBlock(to);
    const int linesEnd = last.position() + last.length() - 1;
    NotesDocument::applyFormats(document, first.position(),
                                NotesDocument::richText(document, first.position(), linesEnd));
}
