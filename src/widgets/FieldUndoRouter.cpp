#include "FieldUndoRouter.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QUndoStack>

#include <memory>

FieldUndoRouter::FieldUndoRouter(QUndoStack* stack, QObject* parent)
    : QObject(parent)
    , m_stack(stack)
{
    qApp->installEventFilter(this);
}

void FieldUndoRouter::useStackIn(QMenu* menu, QUndoStack* stack)
{
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        const bool undo = action->objectName() == QStringLiteral("edit-undo");
        if (!undo && action->objectName() != QStringLiteral("edit-redo"))
            continue;
        if (stack)
            menu->insertAction(action, stackAction(menu, stack, undo));
        menu->removeAction(action);
        delete action;
    }
}

QAction* FieldUndoRouter::stackAction(QMenu* menu, QUndoStack* stack, bool undo)
{
    QAction* action = undo ? stack->createUndoAction(menu) : stack->createRedoAction(menu);
    action->setShortcuts(undo ? QKeySequence::Undo : QKeySequence::Redo);
    return action;
}

QMenu* FieldUndoRouter::createFieldMenu(QLineEdit* field, QUndoStack* stack)
{
    auto* menu = new QMenu(field);
    if (stack && !field->isReadOnly()) {
        menu->addAction(stackAction(menu, stack, true));
        menu->addAction(stackAction(menu, stack, false));
        menu->addSeparator();
    }
    const bool editable = !field->isReadOnly();
    const bool selected = field->hasSelectedText();
    const bool shown = field->echoMode() == QLineEdit::Normal;
    const auto add = [menu, field](const QString& text, QKeySequence::StandardKey key, bool enabled,
                                   auto slot) {
        QAction* action = menu->addAction(text, field, slot);
        action->setShortcuts(key);
        action->setEnabled(enabled);
    };
    add(tr("Cu&t"), QKeySequence::Cut, editable && selected && shown, &QLineEdit::cut);
    add(tr("&Copy"), QKeySequence::Copy, selected && shown, &QLineEdit::copy);
    add(tr("&Paste"), QKeySequence::Paste,
        editable && !QGuiApplication::clipboard()->text().isEmpty(), &QLineEdit::paste);
    add(tr("Delete"), QKeySequence::Delete, editable && selected, &QLineEdit::del);
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, !field->text().isEmpty(), &QLineEdit::selectAll);
    return menu;
}

bool FieldUndoRouter::eventFilter(QObject* watched, QEvent* event)
{
    // Every event of the application passes here: the cheap test first.
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::ContextMenu)
        return false;
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field)
        return false;
    if (type == QEvent::ContextMenu) {
        const std::unique_ptr<QMenu> menu(createFieldMenu(field, m_stack));
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->matches(QKeySequence::Undo) && !key->matches(QKeySequence::Redo))
        return false;
    // Not taken by the field: the window's Undo and Redo shortcuts get the key.
    event->ignore();
    return true;
}
