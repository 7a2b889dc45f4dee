#include "PlainListTableView.h"

#include "PlainListViewController.h"

#include <QMenu>

PlainListTableView::PlainListTableView(PlainListViewController* controller, QWidget* parent)
    : CardTableView(controller, parent)
    , m_controller(controller)
{
    setAccessibleName(tr("Items"));
}

void PlainListTableView::addCardMenuItems(QMenu* menu, ListItem* item)
{
    if (ListViewController::listViewMode() != ListViewMode::Archived)
        m_controller->addDoneMenuItem(menu, item);
    m_controller->addArchiveMenuItem(menu, item);
}

bool PlainListTableView::acceptDrop(const QMimeData*, int row, CardTableView*)
{
    return m_controller->moveDraggedItems(row);
}
