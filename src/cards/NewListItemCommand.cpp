#include "NewListItemCommand.h"

#include "PlainListViewController.h"
#include "model/List.h"
#include "model/ListItem.h"

#include <QCoreApplication>

NewListItemCommand::NewListItemCommand(List* list, const QString& text)
    : m_list(list)
    , m_title(titleFor(text))
{
    setText(QCoreApplication::translate("KanbanColumnListViewController", "New Card"));
}

QString NewListItemCommand::titleFor(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("New Item") : text;
}

void NewListItemCommand::redo()
{
    m_item = m_list->isDeleted() ? nullptr
                                 : PlainListViewController::addItemWithoutUndo(m_list, m_title);
}

void NewListItemCommand::undo()
{
    if (!m_item || m_item->isDeleted() || m_list->isDeleted()) {
        setObsolete(true);
        return;
    }
    PlainListViewController::removeItemWithoutUndo(m_list, m_item);
    m_item = nullptr;
}
