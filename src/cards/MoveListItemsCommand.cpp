#include "MoveListItemsCommand.h"

#include "PlainListViewController.h"
#include "board/MoveRowsCommand.h"
#include "model/List.h"

MoveListItemsCommand::MoveListItemsCommand(List* list, const QList<ListItem*>& before,
                                           const QList<ListItem*>& after,
                                           const QList<ListItem*>& moved)
    : m_list(list)
    , m_before(before)
    , m_after(after)
    , m_moved(moved)
{
    setText(MoveRowsCommand::actionName(moved.size()));
}

void MoveListItemsCommand::redo()
{
    apply(m_after);
}

void MoveListItemsCommand::undo()
{
    apply(m_before);
}

void MoveListItemsCommand::apply(const QList<ListItem*>& order)
{
    if (m_list->isDeleted()) {
        setObsolete(true);
        return;
    }
    PlainListViewController::setOrderWithoutUndo(m_list, order, m_moved);
}
