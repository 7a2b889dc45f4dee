#include "NewCardCommand.h"

#include "KanbanColumnListViewController.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"

#include <QCoreApplication>

NewCardCommand::NewCardCommand(KanbanColumn* column, int index)
    : m_column(column)
    , m_index(index)
{
    setText(QCoreApplication::translate("KanbanColumnListViewController", "New Card"));
}

void NewCardCommand::redo()
{
    if (auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column))
        m_item = controller->addCardWithoutUndo(m_index);
}

void NewCardCommand::undo()
{
    auto* controller = KanbanColumnListViewController::controllerForCommand(this, m_column);
    if (!controller || !m_item || m_item->isDeleted()) {
        setObsolete(true);
        return;
    }
    controller->removeCardWithoutUndo(m_item);
    m_item = nullptr;
}
