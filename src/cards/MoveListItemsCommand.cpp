#include "MoveListItemsCommand.h"

#include "PlainListViewController.h"
#include "board/MoveRowsCommand.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

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
    // A list deleted and brought back by undo is the rebuilt one, its items too.
    List* list = ObjectContext::live(m_list);
    if (!list) {
        setObsolete(true);
        return;
    }
    m_list = list;
    PlainListViewController::setOrderWithoutUndo(list, ObjectContext::live(order),
                                                 ObjectContext::live(m_moved));
}
