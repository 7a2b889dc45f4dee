#include "AddItemToKanbanMenu.h"

#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

namespace {
// Menu texts take "&" as a mnemonic marker.
QString menuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

QString menuTitleOf(const ListItem* item)
{
    if (!item->title().isEmpty())
        return menuText(item->title());
    return menuText(item->notesPlainText().section(u'\n', 0, 0));
}
} // namespace

AddItemToKanbanMenu::AddItemToKanbanMenu(QWidget* parent)
    : QMenu(tr("Add from List"), parent)
{}

void AddItemToKanbanMenu::setKanbanColumn(KanbanColumn* column)
{
    m_kanbanColumn = column;
    populateMenu();
}

void AddItemToKanbanMenu::populateMenu()
{
    clear();
    m_hasLists = false;
    const Kanban* board = m_kanbanColumn ? m_kanbanColumn->kanban() : nullptr;
    DisplayItem* folder = board ? board->parent() : nullptr;
    if (!folder || !folder->isKindOf(Entity::Folder))
        return;
    addAction(menuText(folder->title()))->setEnabled(false);
    for (DisplayItem* child : folder->children()) {
        if (child->entity() != Entity::List)
            continue;
        auto* list = static_cast<List*>(child);
        m_hasLists = true;
        // Menus have no indentation levels: leading spaces set the lists in below the folder.
        auto* submenu = addMenu(QStringLiteral("    ") + menuText(list->title()));
        submenu->addAction(tr("New Item\u2026"), this,
                           [this, list] { addNewListItemInList(list); });
        submenu->addSeparator();
        for (ListItem* item : list->item())
            submenu->addAction(menuTitleOf(item), this,
                               [this, item] { queueListItemToColumn(item); });
    }
}

ListItem* AddItemToKanbanMenu::addNewListItemInList(List* list)
{
    AppDelegate* delegate = AppDelegate::shared();
    if (!list || list->isDeleted() || !m_kanbanColumn || m_kanbanColumn->isDeleted() || !delegate)
        return nullptr;
    auto* item = delegate->managedObjectContext()->insert<ListItem>();
    item->setTitle(QStringLiteral("New Item"));
    list->insertItem(item, 0);
    item->setColumn(m_kanbanColumn);
    delegate->save();
    Q_EMIT columnChanged(m_kanbanColumn);
    return item;
}

void AddItemToKanbanMenu::queueListItemToColumn(ListItem* item)
{
    AppDelegate* delegate = AppDelegate::shared();
    if (!item || item->isDeleted() || !m_kanbanColumn || m_kanbanColumn->isDeleted() || !delegate)
        return;
    item->setColumn(m_kanbanColumn);
    delegate->save();
    Q_EMIT columnChanged(m_kanbanColumn);
}
