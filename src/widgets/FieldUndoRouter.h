#pragma once

#include <QObject>

class QAction;
class QLineEdit;
class QMenu;
class QUndoStack;

// Text fields keep no undo history of their own: in any line edit of the application, the
// undo and redo keys and the Undo and Redo of its context menu are the window's undo stack's.
// What a field holds is not a change until the field commits it, and a field that undid
// on its own would leave the window's steps out of step with what is shown.
class FieldUndoRouter final : public QObject
{
    Q_OBJECT

public:
    // Watches the whole application for as long as it lives.
    FieldUndoRouter(QUndoStack* stack, QObject* parent);

    // Puts the stack's Undo and Redo in place of a text edit's menu's own.
    static void useStackIn(QMenu* menu, QUndoStack* stack);
    // A line edit's context menu, with the stack's Undo and Redo.
    static QMenu* createFieldMenu(QLineEdit* field, QUndoStack* stack);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QAction* stackAction(QMenu* menu, QUndoStack* stack, bool undo);

    QUndoStack* m_stack;
};
