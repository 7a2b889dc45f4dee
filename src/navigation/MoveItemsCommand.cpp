#include "MoveItemsCommand.h"

#include "model/DisplayItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>

MoveItemsCommand::MoveItemsCommand(AppDelegate* appDelegate, const QList<DisplayItem*>& items,
                                   DisplayItem* target)
    : m_appDelegate(appDelegate)
    , m_items(items)
    , m_target(target)
{
    setText(QCoreApplication::translate("FHLeftSidebarViewController", actionName));
    for (DisplayItem* item : items) {
        m_parents.append(item->parent());
        m_indexes.append(item->parent() ? item->parent()->children().indexOf(item) : -1);
    }
}

DisplayItem* MoveItemsCommand::live(DisplayItem* item) const
{
    ObjectContext* context = m_appDelegate->managedObjectContext();
    StoredObject* object = item && context ? context->liveSuccessor(item) : nullptr;
    return object ? static_cast<DisplayItem*>(object) : nullptr;
}

void MoveItemsCommand::redo()
{
    DisplayItem* target = live(m_target);
    if (!target) {
        setObsolete(true);
        return;
    }
    for (DisplayItem* item : std::as_const(m_items)) {
        if (DisplayItem* node = live(item); node && !target->isSelfOrAncestor(node))
            target->insertChild(node);
    }
    m_appDelegate->save();
}

void MoveItemsCommand::undo()
{
    // In row order, so that each node finds the siblings it had before it at its index.
    for (qsizetype k = 0; k < m_items.size(); ++k) {
        DisplayItem* node = live(m_items.at(k));
        DisplayItem* parent = live(m_parents.at(k));
        if (node && parent)
            parent->insertChild(node, std::min(m_indexes.at(k), parent->children().size()));
    }
    m_appDelegate->save();
}
