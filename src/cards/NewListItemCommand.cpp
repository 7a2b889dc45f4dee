#include "NewListItemCommand.h"

#include "PlainListViewController.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"

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
    List* list = ObjectContext::live(m_list);
    m_item = list ? PlainListViewController::addItemWithoutUndo(list, m_title) : nullptr;
}

void NewListItemCommand::undo()
{
    List* list = ObjectContext::live(m_list);
    ListItem* item = ObjectContext::live(m_item);
    if (!item || !list) {
        setObsolete(true);
        return;
    }
    PlainListViewController::removeItemWithoutUndo(list, item);
    m_item = nullptr;
}
