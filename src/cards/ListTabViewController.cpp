#include "ListTabViewController.h"

#include "PlainListTableView.h"
#include "PlainListViewController.h"
#include "appearance/ViewWithBackground.h"
#include "model/List.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "store/ObjectContext.h"
#include "widgets/WindowTitle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

ListTabViewController::ListTabViewController(QWidget* parent)
    : QWidget(parent)
    , m_addItemTextField(new QLineEdit(this))
    , m_listViewController(new PlainListViewController(this))
{
    setObjectName(QStringLiteral("listView"));
    m_addItemTextField->setObjectName(QStringLiteral("addItemTextField"));
    m_addItemTextField->setClearButtonEnabled(true);
    m_addItemTextField->setAccessibleName(tr("New item"));
    QFont larger = m_addItemTextField->font();
    larger.setPixelSize(15);
    m_addItemTextField->setFont(larger);
    m_addItemTextField->setMinimumHeight(32);
    connect(m_addItemTextField, &QLineEdit::returnPressed, this,
            &ListTabViewController::addItemReturnPressed);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 12, 0, 0);
    column->setSpacing(8);
    auto* field = new QHBoxLayout;
    field->setContentsMargins(6, 0, 6, 0);
    field->addWidget(m_addItemTextField);
    column->addLayout(field);
    column->addWidget(tableView(), 1);
    auto* centred = new QWidget(this);
    centred->setLayout(column);
    centred->setMaximumWidth(largestWidth);
    // The list's picture fills the pane; the items sit on it in a transparent table.
    m_background = new ViewWithBackground(this);
    auto* onPicture = new QHBoxLayout(m_background);
    onPicture->setContentsMargins(12, 0, 12, 0);
    onPicture->addWidget(centred);
    tableView()->viewport()->setAutoFillBackground(false);
    tableView()->setFrameShape(QFrame::NoFrame);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_background);
    // Down from the field goes into the items; Tab too.
    setTabOrder(m_addItemTextField, tableView());

    NotificationCenter& notifications = NotificationCenter::defaultCenter();
    notifications.addObserver(
        this, QString::fromLatin1(AppDelegate::showHideArchivedSelectedNotification),
        [this](const NotificationCenter::Notification&) { followViewMode(); });
    notifications.addObserver(this, QStringLiteral("BackgroundChanged"),
                              [this](const NotificationCenter::Notification& notification) {
                                  if (list() && notification.sender == list())
                                      m_background->reloadBackground();
                              });
    notifications.addObserver(this, QStringLiteral("dueSoonDefinitionChanged"),
                              [this](const NotificationCenter::Notification&) {
                                  m_listViewController->checkForDueItems();
                              });
    notifications.addObserver(this, QString::fromLatin1(ObjectContext::didSaveNotification),
                              [this](const NotificationCenter::Notification&) { storeDidSave(); });
    // Due colours follow the clock, as on a board.
    m_dueTimer.setInterval(dueCheckIntervalMilliseconds);
    connect(&m_dueTimer, &QTimer::timeout, m_listViewController,
            &PlainListViewController::checkForDueItems);
    m_dueTimer.start();
    followViewMode();
}

ListTabViewController::~ListTabViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

List* ListTabViewController::list() const
{
    return m_listViewController->list();
}

PlainListTableView* ListTabViewController::tableView() const
{
    return m_listViewController->listTableView();
}

void ListTabViewController::setList(List* list)
{
    const QString title = list ? list->title() : QString();
    m_addItemTextField->setPlaceholderText(QStringLiteral("Add item in ") + title +
                                           QStringLiteral("…"));
    m_listViewController->setList(list);
    m_background->setItem(list);
    updateWindowTitle();
    takeFocus();
    m_listViewController->clearSelection();
}

void ListTabViewController::takeFocus()
{
    // Walking the sidebar with the arrow keys shows each list on the way: the keyboard stays
    // where it walks. A click, or anything else, sends it to the field.
    QWidget* focus = QApplication::focusWidget();
    const bool walkingAnotherView = focus && !isAncestorOf(focus) &&
                                    qobject_cast<QAbstractItemView*>(focus) &&
                                    QGuiApplication::mouseButtons() == Qt::NoButton;
    if (!walkingAnotherView)
        m_addItemTextField->setFocus(Qt::OtherFocusReason);
}

void ListTabViewController::addItemReturnPressed()
{
    if (!m_listViewController->addItemWithTitle(m_addItemTextField->text()))
        return;
    m_addItemTextField->clear();
    tableView()->scrollToTop();
}

void ListTabViewController::reloadListAndTable()
{
    m_listViewController->reloadListAndTable();
}

void ListTabViewController::followViewMode()
{
    // The archive view shows archived items only: a new item would not appear there.
    const bool archiveView = PlainListViewController::listViewMode() == ListViewMode::Archived;
    m_addItemTextField->setEnabled(!archiveView);
    reloadListAndTable();
}

void ListTabViewController::updateWindowTitle()
{
    const QString title = WindowTitle::forItem(list());
    if (title == m_windowTitleText && title.isNull() == m_windowTitleText.isNull())
        return;
    m_windowTitleText = title;
    Q_EMIT windowTitleTextChanged(title);
}

void ListTabViewController::storeDidSave()
{
    // The list may have gone with a deletion in the sidebar, or been renamed there.
    if (list() && list()->isDeleted())
        setList(nullptr);
    else if (list())
        m_addItemTextField->setPlaceholderText(QStringLiteral("Add item in ") + list()->title() +
                                               QStringLiteral("…"));
    updateWindowTitle();
}

bool ListTabViewController::hasDoneButNotArchivedCards() const
{
    return list() && m_listViewController->numberOfDoneNotArchived() > 0;
}

void ListTabViewController::archiveDoneItems()
{
    m_listViewController->archiveDoneItemsUndoably();
}

void ListTabViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    takeFocus();
    updateWindowTitle();
}
