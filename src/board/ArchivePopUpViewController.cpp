#include "ArchivePopUpViewController.h"

#include "KanbanViewController.h"
#include "ListViewController.h"
#include "cards/PlainListViewController.h"
#include "model/Kanban.h"
#include "store/AppDelegate.h"
#include "widgets/Popover.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ArchivePopUpViewController::ArchivePopUpViewController(QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_labelTextField(new QLabel(this))
    , m_archiveButton(new QPushButton(tr("Archive Done Cards"), this))
    , m_viewButton(new QPushButton(this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setAccessibleName(tr("Completed cards"));
    // The message always reads dark on light, whatever the window's colours.
    QPalette light = m_labelTextField->palette();
    light.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
    light.setColor(QPalette::Window, QColor(0xf6, 0xf6, 0xf6));
    m_labelTextField->setPalette(light);
    m_labelTextField->setAutoFillBackground(true);
    m_labelTextField->setMargin(8);
    m_labelTextField->setWordWrap(true);
    m_labelTextField->setMinimumWidth(220);
    m_labelTextField->setAlignment(Qt::AlignCenter);
    m_archiveButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(m_labelTextField);
    layout->addWidget(m_archiveButton);
    layout->addWidget(m_viewButton);
    connect(m_archiveButton, &QPushButton::clicked, this,
            &ArchivePopUpViewController::archiveButtonClicked);
    connect(m_viewButton, &QPushButton::clicked, this,
            &ArchivePopUpViewController::viewButtonClicked);
}

ArchivePopUpViewController* ArchivePopUpViewController::popUp(QWidget* anchor,
                                                              KanbanViewController* board,
                                                              PlainListViewController* list)
{
    auto* popup = new ArchivePopUpViewController(anchor);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setKanbanViewController(board);
    popup->setListViewController(list);
    popup->setup();
    Popover::showBelow(popup, anchor);
    return popup;
}

int ArchivePopUpViewController::numberOfDoneCards() const
{
    if (m_kanbanViewController && m_kanbanViewController->kanban())
        return m_kanbanViewController->kanban()->numberOfDone();
    if (m_listViewController && m_listViewController->list())
        return m_listViewController->numberOfDoneNotArchived();
    return 0;
}

void ArchivePopUpViewController::setup()
{
    const int k = numberOfDoneCards();
    if (k == 1)
        m_labelTextField->setText(QStringLiteral("1 card completed."));
    else if (k > 1)
        m_labelTextField->setText(QString::number(k) + QStringLiteral(" cards completed."));
    else
        m_labelTextField->setText(QStringLiteral("You have no completed cards to archive yet."));
    // Archiving happens in the working view only: elsewhere the button would archive nothing.
    const ListViewMode mode = ListViewController::listViewMode();
    m_archiveButton->setEnabled(k > 0 && mode == ListViewMode::Available);
    const bool archiveView = mode == ListViewMode::Archived;
    m_viewButton->setText(archiveView ? QStringLiteral("Hide Archived")
                                      : QStringLiteral("Show Archived"));
}

void ArchivePopUpViewController::archiveButtonClicked()
{
    const int before = numberOfDoneCards();
    if (m_kanbanViewController && m_kanbanViewController->kanban())
        m_kanbanViewController->archiveDoneItems();
    else if (m_listViewController && m_listViewController->list())
        m_listViewController->archiveDoneItemsUndoably();
    else
        return;
    // What was archived, which is what was counted unless something was out of view.
    const int k = before - numberOfDoneCards();
    m_labelTextField->setText(k < 2 ? QStringLiteral("1 card archived.")
                                    : QString::number(k) + QStringLiteral(" cards archived."));
    m_archiveButton->setEnabled(false);
    m_viewButton->setFocus(Qt::OtherFocusReason);
}

void ArchivePopUpViewController::viewButtonClicked()
{
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->showArchivedSelected();
    close();
}

void ArchivePopUpViewController::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    (m_archiveButton->isEnabled() ? m_archiveButton : m_viewButton)->setFocus(Qt::PopupFocusReason);
}

void ArchivePopUpViewController::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}
