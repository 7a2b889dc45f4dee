#pragma once

#include "EditResponder.h"

#include <QObject>

class QAction;
class QWidget;

// Sends the Edit menu's commands to the focused widget: text fields do their own cut, copy
// and paste; anything else goes up the parent chain to the first EditResponder.
class EditCommandRouter final : public QObject
{
    Q_OBJECT

public:
    explicit EditCommandRouter(QObject* parent = nullptr);

    void addAction(EditAction command, QAction* action);
    // Enables each action for the current focus (run before a menu shows and on focus changes).
    void updateActions();
    void perform(EditAction command);

private:
    EditResponder* responderFor(EditAction command) const;
    bool textFieldCan(QWidget* widget, EditAction command, bool* handled) const;
    static void textFieldPerform(QWidget* widget, EditAction command);

    QList<QPair<EditAction, QAction*>> m_actions;
};
