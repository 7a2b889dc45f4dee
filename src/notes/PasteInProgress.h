#pragma once

#include "model/RichText.h"

#include <QDeadlineTimer>
#include <QTextCursor>

// Rich text going into a document a piece at a time, in place of a cursor's selection. A paste
// of thousands of lines laid out in one go would hold up the window for longer than a frame;
// in pieces, each event lays out only what it inserted. Every line a piece touches takes the
// paragraph format of the style it starts with.
class PasteInProgress final
{
public:
    // `text` has line feeds for its line ends.
    PasteInProgress(const QTextCursor& cursor, RichText text);

    // Inserts pieces until the deadline has passed, at least one; true once all is in.
    bool insertUntil(const QDeadlineTimer& deadline);
    bool isDone() const { return m_inserted >= m_text.length(); }
    // The cursor after what is in.
    const QTextCursor& cursor() const { return m_cursor; }

private:
    void insertPiece();
    void restyleLines(int from, int to);

    QTextCursor m_cursor;
    RichText m_text;
    qsizetype m_inserted = 0;
};
