#pragma once

#include <QKeySequence>

// The keys of the card and board commands: the window's Board menu and the card menus show the
// same ones.
class CardShortcuts final
{
public:
    CardShortcuts() = delete;

    static QKeySequence newCard() { return QKeySequence(Qt::CTRL | Qt::Key_Return); }
    static QKeySequence newColumn() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return); }
    // Handled by the card table itself; the menus only show it.
    static QKeySequence editCard() { return QKeySequence(Qt::Key_Return); }
    static QKeySequence markAsDone() { return QKeySequence(Qt::CTRL | Qt::Key_D); }
    static QKeySequence setDueDate() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D); }
    static QKeySequence editTags() { return QKeySequence(Qt::CTRL | Qt::Key_T); }
    static QKeySequence archiveCard() { return QKeySequence(Qt::CTRL | Qt::Key_E); }
    static QKeySequence moveUp() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up); }
    static QKeySequence moveDown() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down); }
    static QKeySequence moveLeft() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left); }
    static QKeySequence moveRight() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right); }
    static QKeySequence archiveDoneCards()
    {
        return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A);
    }
    static QKeySequence completedCards() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K); }
};
