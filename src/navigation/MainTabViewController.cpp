#include "MainTabViewController.h"

#include "model/DisplayItem.h"
#include "model/Kanban.h"
#include "model/List.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "widgets/WindowTitle.h"

#include <QUndoStack>

MainTabViewController::MainTabViewController(AppDelegate* appDelegate, QWidget* parent)
    : QStackedWidget(parent)
    , m_appDelegate(appDelegate)
{
    setObjectName(QStringLiteral("mainTabView"));
    setMinimumSize(minimumPaneSize, minimumPaneSize);
    // The item's own colour is the page's: the sidebar stays on the window's.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    for (int tab = 0; tab <= int(TabItems::empty); ++tab)
        addWidget(new QWidget(this));
    selectTab(TabItems::empty);

    // Titles and folders may change under the item shown; the item itself may go.
    NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(ObjectContext::didSaveNotification),
        [this](const NotificationCenter::Notification&) { storeDidSave(); });
}

void MainTabViewController::passToKanbanWithObject(DisplayItem* item,
                                                   const std::optional<QList<Tag*>>& tagFilter)
{
    if (!item || item->isDeleted())
        return;
    if (m_objectToDisplay != item && !historyBelongsToNoItem())
        m_appDelegate->undoManager()->clear();
    m_historyClearedWithPane = false;
    m_objectToDisplay = item;
    m_tagFilter = tagFilter;
    passToChildVC();
}

void MainTabViewController::passToChildVC()
{
    if (!m_objectToDisplay)
        return;
    updateWindowTitle();
    if (m_objectToDisplay->isKindOf(Entity::List)) {
        Q_EMIT listToDisplay(static_cast<List*>(m_objectToDisplay));
    } else if (m_objectToDisplay->isKindOf(Entity::Kanban)) {
        Q_EMIT kanbanToDisplay(static_cast<Kanban*>(m_objectToDisplay), m_tagFilter);
    }
}

bool MainTabViewController::historyBelongsToNoItem() const
{
    // Only steps made since the pane was emptied with its history, none of them undone: the
    // deletion that emptied it stays undoable for the next item shown.
    const QUndoStack* stack = m_appDelegate->undoManager();
    return !m_objectToDisplay && m_historyClearedWithPane && stack->index() == stack->count();
}

void MainTabViewController::clearDisplay()
{
    m_appDelegate->undoManager()->clear();
    m_historyClearedWithPane = true;
    m_objectToDisplay = nullptr;
    m_tagFilter.reset();
    selectTab(TabItems::empty);
    updateWindowTitle();
}

void MainTabViewController::storeDidSave()
{
    if (m_objectToDisplay && m_objectToDisplay->isDeleted()) {
        // The undo history may be in the middle of a step here: it goes when the next item is
        // shown, for all of it belongs to the item that went.
        m_historyClearedWithPane = false;
        m_objectToDisplay = nullptr;
        m_tagFilter.reset();
        selectTab(TabItems::empty);
    }
    updateWindowTitle();
}

void MainTabViewController::setListView(QWidget* view)
{
    replacePage(TabItems::list, view);
}

void MainTabViewController::setKanbanView(QWidget* view)
{
    replacePage(TabItems::kanban, view);
}

void MainTabViewController::replacePage(TabItems tab, QWidget* view)
{
    if (!view)
        return;
    const int index = int(tab);
    const bool wasCurrent = currentIndex() == index;
    QWidget* old = widget(index);
    insertWidget(index, view);
    removeWidget(old);
    delete old;
    if (wasCurrent)
        setCurrentIndex(index);
}

void MainTabViewController::updateWindowTitle()
{
    window()->setWindowTitle(m_objectToDisplay ? WindowTitle::forItem(m_objectToDisplay)
                                               : QString::fromLatin1(emptyWindowTitle));
}
