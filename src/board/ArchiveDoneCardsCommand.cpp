#include "ArchiveDoneCardsCommand.h"

#include "KanbanViewController.h"
#include "model/Kanban.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

#include <algorithm>

ArchiveDoneCardsCommand::ArchiveDoneCardsCommand(KanbanViewController* board)
    : m_board(board)
    , m_kanban(board->kanban())
{
    setText(actionName());
}

QString ArchiveDoneCardsCommand::actionName()
{
    return QCoreApplication::translate("KanbanViewController", "Archive Done Cards");
}

bool ArchiveDoneCardsCommand::boardIsShown() const
{
    return m_board && m_board->isShowing(ObjectContext::live(m_kanban));
}

void ArchiveDoneCardsCommand::redo()
{
    if (!boardIsShown()) {
        setObsolete(true);
        return;
    }
    m_archived = m_board->archiveDoneItemsWithoutUndo();
    // Nothing to archive (the archived view, or no done card shown): no step at all.
    const bool none = std::all_of(m_archived.cbegin(), m_archived.cend(),
                                  [](const QList<ListItem*>& column) { return column.isEmpty(); });
    if (none && m_first)
        setObsolete(true);
    m_first = false;
}

void ArchiveDoneCardsCommand::undo()
{
    if (!boardIsShown()) {
        setObsolete(true);
        return;
    }
    // A column deleted and brought back holds rebuilt cards: those are the ones to restore.
    QList<QList<ListItem*>> archived;
    for (const QList<ListItem*>& column : std::as_const(m_archived)) {
        QList<ListItem*>& cards = archived.emplace_back();
        for (ListItem* card : column) {
            if (ListItem* live = ObjectContext::live(card))
                cards.append(live);
        }
    }
    m_board->restoreArchivedItemsWithoutUndo(archived);
}
