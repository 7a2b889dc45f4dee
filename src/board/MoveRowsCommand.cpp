#include "MoveRowsCommand.h"

#include "ListViewController.h"
#include "StoredOrder.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QWidget> // AppDelegate.h holds a QPointer<QWidget>

#include <algorithm>
#include <utility>

MoveRowsCommand::MoveRowsCommand(const QList<ColumnCards>& columns, const QList<ListItem*>& moved)
    : m_columns(columns)
    , m_moved(moved)
{
    setText(actionName(moved.size()));
}

QString MoveRowsCommand::actionName(qsizetype count)
{
    return QStringLiteral("Move ") + QString::number(count) + QStringLiteral(" Rows");
}

void MoveRowsCommand::redo()
{
    if (std::exchange(m_done, false))
        return;
    if (!apply(true))
        setObsolete(true);
}

void MoveRowsCommand::undo()
{
    if (!apply(false))
        setObsolete(true);
}

bool MoveRowsCommand::apply(bool after)
{
    QList<std::pair<KanbanColumn*, QList<ListItem*>>> wanted;
    for (const ColumnCards& cards : std::as_const(m_columns)) {
        KanbanColumn* column = ObjectContext::live(cards.column);
        if (!column)
            return false;
        wanted.append({column, ObjectContext::live(after ? cards.after : cards.before)});
    }
    const QList<ListItem*> moved = ObjectContext::live(m_moved);
    if (moved.isEmpty())
        return false;
    for (const auto& [column, items] : std::as_const(wanted)) {
        // A card that came into the column by a change with no step of its own stays, right
        // after the card it follows now; a card this step puts elsewhere (or takes off the
        // board: a list's card dragged onto it) leaves.
        QList<ListItem*> current = column->item();
        current.removeIf([&](ListItem* item) {
            return !items.contains(item) &&
                   (moved.contains(item) ||
                    std::any_of(wanted.cbegin(), wanted.cend(),
                                [item](const auto& other) { return other.second.contains(item); }));
        });
        column->setItem(StoredOrder::merge(current, items));
    }
    for (const auto& [column, items] : std::as_const(wanted))
        ListViewController::storedItemsChanged(column);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    for (const auto& [column, items] : std::as_const(wanted)) {
        for (ListViewController* controller : ListViewController::liveControllers()) {
            if (controller->container() == column)
                controller->selectItems(moved);
        }
    }
    return true;
}
