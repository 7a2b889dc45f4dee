#include "ChangeColumnTitleCommand.h"

#include "KanbanViewController.h"
#include "model/KanbanColumn.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

ChangeColumnTitleCommand::ChangeColumnTitleCommand(KanbanViewController* board,
                                                   KanbanColumn* column, const QString& newTitle)
    : m_board(board)
    , m_column(column)
    , m_oldTitle(column->title())
    , m_newTitle(newTitle)
{
    setText(actionName());
}

QString ChangeColumnTitleCommand::actionName()
{
    return QCoreApplication::translate("KanbanViewController", "Change Column Title");
}

bool ChangeColumnTitleCommand::rename(const QString& title)
{
    // A column deleted and brought back by undo is renamed as the rebuilt one.
    KanbanColumn* column = ObjectContext::live(m_column);
    if (!column)
        return false;
    m_column = column;
    column->setTitle(title);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (m_board)
        m_board->columnTitleChanged(column);
    return true;
}

void ChangeColumnTitleCommand::redo()
{
    if (!rename(m_newTitle))
        setObsolete(true);
}

void ChangeColumnTitleCommand::undo()
{
    if (!rename(m_oldTitle))
        setObsolete(true);
}
