#include "KanbanColumnTableView.h"

#include "CardPasteboard.h"
#include "CardTableModel.h"
#include "KanbanColumnListViewController.h"
#include "model/ListItem.h"

#include <QKeyEvent>
#include <QMenu>

KanbanColumnTableView::KanbanColumnTableView(KanbanColumnListViewController* controller,
                                             QWidget* parent)
    : CardTableView(controller, parent)
    , m_controller(controller)
{}

bool KanbanColumnTableView::canPerformEditAction(EditAction action) const
{
    switch (action) {
    case EditAction::Cut:
    case EditAction::Copy:
    case EditAction::Delete:
        return !m_controller->selectedRows().isEmpty();
    case EditAction::Paste:
        return m_controller->canPaste();
    case EditAction::SelectAll:
        return CardTableView::canPerformEditAction(action);
    }
    return false;
}

void KanbanColumnTableView::performEditAction(EditAction action)
{
    switch (action) {
    case EditAction::Cut:
        m_controller->cut();
        break;
    case EditAction::Copy:
        m_controller->copySelectedCardsToPasteboard();
        break;
    case EditAction::Paste:
        m_controller->paste();
        break;
    case EditAction::Delete:
        m_controller->deleteCurrentSelectedItems();
        break;
    case EditAction::SelectAll:
        CardTableView::performEditAction(action);
        break;
    }
}

void KanbanColumnTableView::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        m_controller->deleteCurrentSelectedItems();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (plain) {
            m_controller->moveKeyboardToNeighbourColumn(event->key() == Qt::Key_Left ? -1 : 1);
            return;
        }
        break;
    default:
        break;
    }
    CardTableView::keyPressEvent(event);
}

void KanbanColumnTableView::addMenuItemsOutsideCards(QMenu* menu)
{
    m_controller->addColumnMenuItems(menu);
}

void KanbanColumnTableView::addCardMenuItems(QMenu* menu, ListItem* item)
{
    if (ListViewController::listViewMode() == ListViewMode::Archived) {
        m_controller->addArchiveMenuItem(menu, item);
        return;
    }
    menu->addAction(tr("Add Card Above"), this, [this, item] { m_controller->addCardAbove(item); });
    menu->addAction(tr("Add Card Below"), this, [this, item] { m_controller->addCardBelow(item); });
    menu->addSeparator();
    m_controller->addDoneMenuItem(menu, item);
    m_controller->addArchiveMenuItem(menu, item);
    menu->addSeparator();
    const bool several = m_controller->selectedRows().size() >= 2;
    QAction* remove = menu->addAction(several ? tr("Delete Selected Cards") : tr("Delete Card"),
                                      this, [this, item, several] {
                                          if (several)
                                              m_controller->deleteCurrentSelectedItems();
                                          else
                                              m_controller->deleteItems({item});
                                      });
    remove->setObjectName(QStringLiteral("deleteCard"));
}

bool KanbanColumnTableView::acceptDrop(const QMimeData* data, int row, CardTableView* sourceView)
{
    auto* source = qobject_cast<KanbanColumnTableView*>(sourceView);
    return m_controller->acceptDrop(source ? source->controller() : nullptr,
                                    CardPasteboard::draggedUris(data), row);
}
