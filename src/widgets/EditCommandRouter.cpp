#include "EditCommandRouter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTextEdit>

EditCommandRouter::EditCommandRouter(QObject* parent)
    : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &EditCommandRouter::updateActions);
}

void EditCommandRouter::addAction(EditAction command, QAction* action)
{
    m_actions.append({command, action});
    connect(action, &QAction::triggered, this, [this, command] { perform(command); });
}

void EditCommandRouter::updateActions()
{
    QWidget* focus = QApplication::focusWidget();
    for (const auto& [command, action] : std::as_const(m_actions)) {
        bool handled = false;
        const bool textCan = textFieldCan(focus, command, &handled);
        if (handled) {
            action->setEnabled(textCan);
            continue;
        }
        EditResponder* responder = responderFor(command);
        action->setEnabled(responder && responder->canPerformEditAction(command));
    }
}

void EditCommandRouter::perform(EditAction command)
{
    QWidget* focus = QApplication::focusWidget();
    bool handled = false;
    if (textFieldCan(focus, command, &handled) && handled) {
        textFieldPerform(focus, command);
        return;
    }
    if (handled)
        return;
    if (EditResponder* responder = responderFor(command);
        responder && responder->canPerformEditAction(command))
        responder->performEditAction(command);
}

EditResponder* EditCommandRouter::responderFor(EditAction command) const
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        auto* responder = dynamic_cast<EditResponder*>(w);
        if (responder && responder->handlesEditAction(command))
            return responder;
    }
    return nullptr;
}

bool EditCommandRouter::textFieldCan(QWidget* widget, EditAction command, bool* handled) const
{
    // An editor that is itself an EditResponder (the notes of a card) decides on its own.
    if (!widget || dynamic_cast<EditResponder*>(widget))
        return false;
    const bool canPaste =
        QApplication::clipboard()->mimeData() && QApplication::clipboard()->mimeData()->hasText();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        *handled = true;
        const bool writable = !line->isReadOnly();
        switch (command) {
        case EditAction::Cut:
        case EditAction::Delete:
            return writable && line->hasSelectedText();
        case EditAction::Copy:
            return line->hasSelectedText();
        case EditAction::Paste:
            return writable && canPaste;
        case EditAction::SelectAll:
            return !line->text().isEmpty();
        }
    }
    if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        *handled = true;
        const bool selected = text->textCursor().hasSelection();
        const bool writable = !text->isReadOnly();
        switch (command) {
        case EditAction::Cut:
        case EditAction::Delete:
            return writable && selected;
        case EditAction::Copy:
            return selected;
        case EditAction::Paste:
            return writable && text->canPaste();
        case EditAction::SelectAll:
            return true;
        }
    }
    return false;
}

void EditCommandRouter::textFieldPerform(QWidget* widget, EditAction command)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        switch (command) {
        case EditAction::Cut:
            return line->cut();
        case EditAction::Copy:
            return line->copy();
        case EditAction::Paste:
            return line->paste();
        case EditAction::Delete:
            return line->del();
        case EditAction::SelectAll:
            return line->selectAll();
        }
    }
    if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        switch (command) {
        case EditAction::Cut:
            return text->cut();
        case EditAction::Copy:
            return text->copy();
        case EditAction::Paste:
            return text->paste();
        case EditAction::Delete:
            return text->textCursor().removeSelectedText();
        case EditAction::SelectAll:
            return text->selectAll();
        }
    }
}
