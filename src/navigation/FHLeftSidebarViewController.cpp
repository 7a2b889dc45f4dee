#include "FHLeftSidebarViewController.h"

#include "DeleteItemsCommand.h"
#include "MainTabViewController.h"
#include "MainWindowController.h"
#include "MoveItemsCommand.h"
#include "MoveToFolderDialog.h"
#include "SourceOutlineModel.h"
#include "SourceOutlineView.h"
#include "interchange/FirstRun.h"
#include "interchange/JSONReader.h"
#include "interchange/TemplateViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"
#include "widgets/SymbolicIconEngine.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

FHLeftSidebarViewController::FHLeftSidebarViewController(AppDelegate* appDelegate, QWidget* parent)
    : QWidget(parent)
    , m_appDelegate(appDelegate)
    , m_managedObjectContext(appDelegate->managedObjectContext())
    , m_defaults(appDelegate->defaults())
    , m_model(new SourceOutlineModel(this))
    , m_outlineView(new SourceOutlineView(this, this))
    , m_addMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("sidebar"));
    setMinimumWidth(minimumSidebarWidth);
    // Before the view's selection model, which drops the removed rows from the selection.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &FHLeftSidebarViewController::rowsAboutToBeRemoved);
    m_outlineView->setModel(m_model);

    m_addMenu->addAction(tr("New Folder"), this, &FHLeftSidebarViewController::addFolder);
    m_addMenu->addAction(tr("New Board…"), this, &FHLeftSidebarViewController::addKanban);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_outlineView, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    layout->addWidget(createBottomBar());

    connect(m_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FHLeftSidebarViewController::selectionDidChange);
    connect(m_model, &SourceOutlineModel::itemsDropped, this,
            &FHLeftSidebarViewController::itemsDropped);
    connect(m_outlineView, &QTreeView::expanded, this,
            [this](const QModelIndex& index) { itemExpanded(index, true); });
    connect(m_outlineView, &QTreeView::collapsed, this,
            [this](const QModelIndex& index) { itemExpanded(index, false); });
    // Renaming writes the title at every keystroke; its end saves.
    connect(m_outlineView, &SourceOutlineView::titleEditingFinished, m_appDelegate,
            &AppDelegate::save);

    // Loading.
    checkRootObjectExists();
    if (m_managedObjectContext) {
        const QList<Root*> roots = m_managedObjectContext->fetch<Root>({}, 1);
        m_rootObject = roots.value(0);
    }
    if (!m_rootObject)
        qWarning() << "FETAL ERROR: Cannot find root object "
                   << "(the store has no root)";
    m_model->setRootObject(m_rootObject);
    restoreExpansionState();
    observeNotifications();
}

FHLeftSidebarViewController::~FHLeftSidebarViewController() = default;

void FHLeftSidebarViewController::setTabViewController(MainTabViewController* tabView)
{
    m_tabView = tabView;
}

void FHLeftSidebarViewController::setWindowController(MainWindowController* window)
{
    m_windowController = window;
}

QWidget* FHLeftSidebarViewController::createBottomBar()
{
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);

    const auto button = [bar](const char* name, const char* themeIcon, const char* image,
                              const QString& toolTip) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(themeIcon),
                                         SymbolicIconEngine::icon(QString::fromLatin1(image))));
        button->setToolTip(toolTip);
        button->setAutoRaise(true);
        return button;
    };
    QToolButton* add =
        button("addButton", "list-add", ":/images/sidebar-add.svg", tr("New Folder or Board"));
    add->setMenu(m_addMenu);
    add->setPopupMode(QToolButton::InstantPopup);
    // The arrow of a menu button would crowd a one-glyph button.
    add->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    QToolButton* remove =
        button("deleteButton", "list-remove", ":/images/sidebar-remove.svg", tr("Delete"));
    connect(remove, &QToolButton::clicked, this, &FHLeftSidebarViewController::deleteSelectedRows);
    const auto enableRemove = [this, remove] {
        remove->setEnabled(m_outlineView->selectionModel()->hasSelection());
    };
    connect(m_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, remove,
            enableRemove);
    enableRemove();

    layout->addWidget(add);
    layout->addWidget(remove);
    layout->addStretch(1);
    return bar;
}

void FHLeftSidebarViewController::observeNotifications()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const auto refresh = [this](const NotificationCenter::Notification&) { scheduleRefresh(); };
    center.addObserver(this, QString::fromLatin1(ObjectContext::didSaveNotification), refresh);
    center.addObserver(this, QStringLiteral("itemMarkedDone"), refresh);
    center.addObserver(this, QStringLiteral("dueDateChanged"), refresh);
    center.addObserver(this, QStringLiteral("dueSoonDefinitionChanged"), refresh);

    // Saves happen in the middle of undo steps; the refresh waits for the step to finish.
    m_deferredRefresh.setSingleShot(true);
    m_deferredRefresh.setInterval(0);
    connect(&m_deferredRefresh, &QTimer::timeout, this,
            &FHLeftSidebarViewController::refreshListWhileKeepingSelection);
    // Due colours and counts follow the clock.
    m_refreshTimer.setInterval(refreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this,
            &FHLeftSidebarViewController::refreshListWhileKeepingSelection);
    m_refreshTimer.start();
}

void FHLeftSidebarViewController::scheduleRefresh()
{
    m_deferredRefresh.start();
}

void FHLeftSidebarViewController::checkRootObjectExists()
{
    if (!m_managedObjectContext) {
        qWarning() << "Error in finding entity "
                   << "(the store is not open)";
        return;
    }
    const FirstRun::Result first = FirstRun::findOrCreateRoot(
        *m_managedObjectContext, [this] { return m_appDelegate->save(); });
    m_rootObject = first.root;
    m_rootObjectCreatedForTheFirstTime = first.created;
}

void FHLeftSidebarViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    restoreWindow();
}

void FHLeftSidebarViewController::restoreWindow()
{
    if (m_windowRestoredOnce)
        return;
    m_windowRestoredOnce = true;
    if (m_rootObjectCreatedForTheFirstTime) {
        m_outlineView->expand(m_outlineView->indexForRow(0));
        m_outlineView->selectRow(0);
    }
    // Row 0 is a row like any other: the tutorial's first board is often the last one shown.
    if (m_defaults.contains(QString::fromLatin1(Defaults::lastSelectedSourceItem))) {
        const int row = m_defaults.integer(QString::fromLatin1(Defaults::lastSelectedSourceItem));
        if (row >= 0 && row != m_outlineView->selectedRow())
            m_outlineView->selectRow(row);
    }
}

DisplayItem* FHLeftSidebarViewController::selectedItem() const
{
    return m_model->itemForIndex(m_outlineView->indexForRow(m_outlineView->selectedRow()));
}

QList<DisplayItem*> FHLeftSidebarViewController::selectedItems() const
{
    QList<QPair<int, DisplayItem*>> rows;
    for (const QModelIndex& index : m_outlineView->selectionModel()->selectedRows()) {
        if (DisplayItem* item = m_model->itemForIndex(index))
            rows.append({m_outlineView->rowForIndex(index), item});
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<DisplayItem*> items;
    for (const auto& [row, item] : rows)
        items.append(item);
    return items;
}

void FHLeftSidebarViewController::selectionDidChange()
{
    if (m_refreshOnlyAndDontDisplay) {
        m_refreshOnlyAndDontDisplay = false;
        return;
    }
    DisplayItem* node = selectedItem();
    if (!node)
        return;
    m_lostSelectionRow = -1;
    m_appDelegate->save();
    displayItem(node, std::nullopt);
}

void FHLeftSidebarViewController::displayItem(DisplayItem* item,
                                              const std::optional<QList<Tag*>>& tagFilter)
{
    if (!item || item->isDeleted())
        return;
    item->setExportFlag(true);
    const bool isList = item->isKindOf(Entity::List);
    const bool isKanban = item->isKindOf(Entity::Kanban);
    if (isList || isKanban) {
        m_defaults.setValue(QString::fromLatin1(Defaults::lastSelectedSourceItem),
                            m_outlineView->rowForIndex(m_model->indexForItem(item)));
        if (m_tabView) {
            m_tabView->passToKanbanWithObject(item, isKanban ? tagFilter : std::nullopt);
            m_tabView->selectTab(isList ? MainTabViewController::TabItems::list
                                        : MainTabViewController::TabItems::kanban);
        }
        if (m_windowController) {
            DisplayItem* previous = m_windowController->currentDisplayItem();
            if (previous && previous != item && !previous->isDeleted())
                previous->setExportFlag(false);
            m_windowController->setCurrentDisplayItem(item);
            m_windowController->configureToolbarItems();
        }
    }
    m_defaults.synchronize();
}

void FHLeftSidebarViewController::rowsAboutToBeRemoved(const QModelIndex& parent, int first,
                                                       int last)
{
    if (m_lostSelectionRow >= 0)
        return;
    const QModelIndex selected = m_outlineView->indexForRow(m_outlineView->selectedRow());
    for (QModelIndex index = selected; index.isValid(); index = index.parent()) {
        if (index.parent() == parent && index.row() >= first && index.row() <= last) {
            m_lostSelectionRow = m_outlineView->selectedRow();
            return;
        }
    }
}

void FHLeftSidebarViewController::refreshListWhileKeepingSelection()
{
    m_deferredRefresh.stop();
    const int lostRow = std::exchange(m_lostSelectionRow, -1);
    m_model->reloadData();
    // Nodes brought back by undo come back as new rows, expanded as they were.
    expandRememberedItems();
    // The selection follows its node through the reload, so only a deleted selection needs
    // anything here.
    if (m_outlineView->selectionModel()->hasSelection() || lostRow < 0)
        return;
    DisplayItem* shown = m_tabView ? m_tabView->objectToDisplay() : nullptr;
    if (shown && !shown->isDeleted()) {
        // The right pane still shows a live item: point at it rather than replace it, which
        // would also drop the undo of the deletion.
        const int row = m_outlineView->rowForIndex(m_model->indexForItem(shown));
        if (row >= 0) {
            m_refreshOnlyAndDontDisplay = true;
            m_outlineView->selectRow(row);
        }
        return;
    }
    // The row that took the deleted one's place, or the one above when it was the last.
    const int rows = m_outlineView->numberOfRows();
    const int row = lostRow < rows ? lostRow : lostRow - 1;
    if (row >= 0)
        m_outlineView->selectRow(row);
}

void FHLeftSidebarViewController::addFolder()
{
    if (!m_managedObjectContext || !m_rootObject)
        return;
    auto* folder = m_managedObjectContext->insert<Folder>();
    folder->setTitle(tr("untitled folder"));
    placeNewNode(folder);
}

void FHLeftSidebarViewController::addKanban()
{
    TemplateViewController::openSheet(window(), this);
}

void FHLeftSidebarViewController::createBlankBoard()
{
    if (!m_managedObjectContext || !m_rootObject)
        return;
    auto* board = m_managedObjectContext->insert<Kanban>();
    board->setTitle(tr("untitled board"));
    auto* column = m_managedObjectContext->insert<KanbanColumn>();
    column->setTitle(tr("Things to do"));
    column->setKanban(board);
    placeNewNode(board);
}

void FHLeftSidebarViewController::placeNewNode(DisplayItem* item)
{
    addItemBelowSelection(item, false);
    m_appDelegate->save();
    selectItem(item, true);
}

void FHLeftSidebarViewController::selectedTemplateWithUrl(const std::optional<QUrl>& url)
{
    if (!url ||
        TemplateViewController::displayName(url) == TemplateViewController::blankTemplateName) {
        createBlankBoard();
        return;
    }
    if (!m_managedObjectContext || !m_rootObject)
        return;
    QFile file(TemplateViewController::filePathForUrl(*url));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "error in getting JSON from URL " << file.errorString();
        showTemplateError(*url, file.errorString());
        return;
    }
    JSONReader& reader = JSONReader::shared();
    reader.clearImportedObjects();
    QString error;
    const auto objects = reader.makeObjectsFromJson(file.readAll(), &error);
    if (!objects) {
        qWarning() << "error in getting JSON from URL " << error;
        showTemplateError(*url, error);
        return;
    }
    QList<Kanban*> boards;
    for (StoredObject* object : *objects) {
        if (object->isKindOf(Entity::Kanban))
            boards.append(static_cast<Kanban*>(object));
        else // only boards have a place in the tree; nothing is left outside it
            m_managedObjectContext->deleteObject(object);
    }
    if (boards.isEmpty()) {
        showTemplateError(*url, tr("It holds no board."));
        return;
    }
    for (Kanban* board : std::as_const(boards))
        placeNewNode(board);
}

void FHLeftSidebarViewController::showTemplateError(const QUrl& url, const QString& details)
{
    MessageBox::critical(
        window(),
        tr("The template “%1” could not be used.").arg(TemplateViewController::displayName(url)),
        details);
}

void FHLeftSidebarViewController::addItemBelowSelection(DisplayItem* item, bool atRoot)
{
    if (!item || !m_rootObject)
        return;
    DisplayItem* anchor = nullptr;
    const int clicked = m_outlineView->clickedRow();
    const int row = atRoot ? -1 : clicked >= 0 ? clicked : m_outlineView->selectedRow();
    if (row >= 0) {
        QModelIndex index = m_outlineView->indexForRow(row);
        // Folders and boards go after the nearest folder or board at or above the row.
        if (item->isKindOf(Entity::Kanban) || item->isKindOf(Entity::Folder)) {
            while (index.isValid()) {
                const DisplayItem* node = m_model->itemForIndex(index);
                if (node->isKindOf(Entity::Kanban) || node->isKindOf(Entity::Folder))
                    break;
                index = m_outlineView->indexAbove(index);
            }
        }
        anchor = m_model->itemForIndex(index);
    }
    if (!anchor) {
        m_rootObject->insertChild(item);
    } else if (anchor->isKindOf(Entity::Folder)) {
        anchor->insertChild(item);
    } else if (DisplayItem* parent = anchor->parent()) {
        parent->insertChild(item, parent->children().indexOf(anchor) + 1);
    } else {
        m_rootObject->insertChild(item);
    }
}

void FHLeftSidebarViewController::selectItem(DisplayItem* item, bool editName)
{
    const QModelIndex index = m_model->indexForItem(item);
    if (!index.isValid())
        return;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_outlineView->expand(parent);
    m_outlineView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
    m_outlineView->scrollTo(index);
    if (editName) {
        m_outlineView->setFocus();
        m_outlineView->edit(index);
    }
}

void FHLeftSidebarViewController::renameSelectedItem()
{
    m_outlineView->renameItem();
}

MoveToFolderDialog* FHLeftSidebarViewController::showMoveToDialog()
{
    QList<DisplayItem*> items = selectedItems();
    // A node inside another chosen node travels with it.
    items.removeIf([&items](const DisplayItem* item) {
        return std::any_of(items.cbegin(), items.cend(), [item](const DisplayItem* other) {
            return other != item && item->parent() && item->parent()->isSelfOrAncestor(other);
        });
    });
    if (items.isEmpty() || !m_rootObject)
        return nullptr;
    auto* dialog = new MoveToFolderDialog(m_rootObject, items, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog, items] { moveItemsToFolder(items, dialog->chosenFolder()); });
    dialog->open();
    return dialog;
}

void FHLeftSidebarViewController::moveItemsToFolder(const QList<DisplayItem*>& items,
                                                    DisplayItem* folder)
{
    if (!folder || folder->isDeleted() || items.isEmpty())
        return;
    QList<DisplayItem*> moving = items;
    moving.removeIf([folder](const DisplayItem* item) {
        return item->isDeleted() || folder->isSelfOrAncestor(item);
    });
    if (moving.isEmpty())
        return;
    m_appDelegate->undoManager()->push(new MoveItemsCommand(m_appDelegate, moving, folder));
    m_outlineView->expand(m_model->indexForItem(folder));
    QItemSelection selection;
    for (DisplayItem* item : std::as_const(moving)) {
        const QModelIndex index = m_model->indexForItem(item);
        if (index.isValid())
            selection.select(index, index);
    }
    m_refreshOnlyAndDontDisplay = true;
    m_outlineView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    m_refreshOnlyAndDontDisplay = false;
    m_outlineView->selectionModel()->setCurrentIndex(m_model->indexForItem(moving.constFirst()),
                                                     QItemSelectionModel::NoUpdate);
}

void FHLeftSidebarViewController::deleteSelectedRows()
{
    deleteDisplayItemsWithItems(selectedItems());
}

void FHLeftSidebarViewController::deleteDisplayItemsWithItems(const QList<DisplayItem*>& items)
{
    // A node inside another chosen node goes with it.
    QList<DisplayItem*> doomed;
    for (DisplayItem* item : items) {
        if (!item || item->isDeleted() || item == m_rootObject || doomed.contains(item))
            continue;
        const bool inside =
            std::any_of(items.cbegin(), items.cend(), [item](const DisplayItem* other) {
                return other != item && item->parent() && item->parent()->isSelfOrAncestor(other);
            });
        if (!inside)
            doomed.append(item);
    }
    if (doomed.isEmpty())
        return;
    // The item shown goes too: the pane empties first, with its history, so that what the
    // selection moves to next is shown without wiping the undo of this deletion.
    DisplayItem* shown = m_tabView ? m_tabView->objectToDisplay() : nullptr;
    if (shown && std::any_of(doomed.cbegin(), doomed.cend(), [shown](const DisplayItem* item) {
            return shown->isSelfOrAncestor(item);
        })) {
        m_tabView->clearDisplay();
        if (m_windowController) {
            m_windowController->setCurrentDisplayItem(nullptr);
            m_windowController->configureToolbarItems();
        }
    }
    m_appDelegate->undoManager()->push(new DeleteItemsCommand(m_appDelegate, doomed));
}

void FHLeftSidebarViewController::itemsDropped(DisplayItem* target,
                                               const QList<DisplayItem*>& items)
{
    m_lostSelectionRow = -1;
    const QModelIndex targetIndex = m_model->indexForItem(target);
    m_outlineView->expand(targetIndex);
    m_appDelegate->save();
    m_model->reloadData();
    // Nodes that moved to another folder come back as new rows: give them their state again.
    expandRememberedItems();
    m_outlineView->expand(targetIndex);
    if (!m_outlineView->selectionModel()->hasSelection()) {
        QItemSelection selection;
        for (DisplayItem* item : items) {
            const QModelIndex index = m_model->indexForItem(item);
            if (index.isValid())
                selection.select(index, index);
        }
        if (!selection.isEmpty()) {
            m_refreshOnlyAndDontDisplay = true;
            m_outlineView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
        }
    }
}

void FHLeftSidebarViewController::itemExpanded(const QModelIndex& index, bool expanded)
{
    if (m_restoringExpansion || !m_managedObjectContext)
        return;
    const QString uri = m_managedObjectContext->uriFor(m_model->itemForIndex(index));
    if (uri.isEmpty())
        return;
    m_expandedItems.removeAll(uri);
    if (expanded)
        m_expandedItems.append(uri);
    saveExpansionState();
}

void FHLeftSidebarViewController::saveExpansionState()
{
    // Only what the next launch can find; nodes deleted in this run stay remembered in memory,
    // since undo brings them back under their own identities.
    QStringList live;
    for (const QString& uri : std::as_const(m_expandedItems)) {
        if (m_managedObjectContext->objectForUri(uri))
            live.append(uri);
    }
    const QString key = QString::fromLatin1(expandedItemsKey);
    if (m_defaults.value(key).toStringList() != live)
        m_defaults.setValue(key, live);
}

void FHLeftSidebarViewController::restoreExpansionState()
{
    if (!m_managedObjectContext)
        return;
    const QStringList uris = m_defaults.value(QString::fromLatin1(expandedItemsKey)).toStringList();
    m_expandedItems.clear();
    for (const QString& uri : uris) {
        if (m_managedObjectContext->objectForUri(uri))
            m_expandedItems.append(uri);
        else
            qInfo() << "could not find item" << uri;
    }
    expandRememberedItems();
}

void FHLeftSidebarViewController::expandRememberedItems()
{
    if (!m_managedObjectContext)
        return;
    m_restoringExpansion = true;
    for (const QString& uri : std::as_const(m_expandedItems)) {
        StoredObject* object = m_managedObjectContext->objectForUri(uri);
        const QModelIndex index = object && object->isKindOf(Entity::DisplayItem)
                                      ? m_model->indexForItem(static_cast<DisplayItem*>(object))
                                      : QModelIndex();
        if (index.isValid() && !m_outlineView->isExpanded(index))
            m_outlineView->expand(index);
    }
    m_restoringExpansion = false;
    saveExpansionState();
}
