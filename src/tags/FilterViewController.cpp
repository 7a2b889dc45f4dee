#include "FilterViewController.h"

#include "board/KanbanViewController.h"
#include "model/Kanban.h"
#include "model/Tag.h"
#include "widgets/Popover.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

FilterViewController::FilterViewController(KanbanViewController* kanbanViewController,
                                           QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_kanbanViewController(kanbanViewController)
    , m_scrollArea(new QScrollArea(this))
    , m_checkboxContainer(new QWidget(m_scrollArea))
    , m_checkboxLayout(new QVBoxLayout(m_checkboxContainer))
    , m_noTagsLabel(new QLabel(tr("This board has no tags yet."), this))
    , m_clearAllButton(new QPushButton(tr("Clear All"), this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setAccessibleName(tr("Tag filter"));

    // One row per tag, each rowHeight high, so the boxes stand rowHeight apart.
    m_checkboxLayout->setContentsMargins(0, 0, 0, 0);
    m_checkboxLayout->setSpacing(0);
    m_scrollArea->setWidget(m_checkboxContainer);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_checkboxContainer->setAutoFillBackground(false);
    m_noTagsLabel->setForegroundRole(QPalette::PlaceholderText);
    m_clearAllButton->setAutoDefault(false);

    auto* title = new QLabel(tr("Show cards tagged"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_clearAllButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(title);
    layout->addWidget(m_scrollArea);
    layout->addWidget(m_noTagsLabel);
    layout->addLayout(buttons);

    connect(m_clearAllButton, &QPushButton::clicked, this, &FilterViewController::clearAllFilter);
    setup();
}

FilterViewController* FilterViewController::popUp(QWidget* anchor,
                                                  KanbanViewController* kanbanViewController)
{
    auto* filter = new FilterViewController(kanbanViewController, anchor);
    filter->setAttribute(Qt::WA_DeleteOnClose);
    Popover::showBelow(filter, anchor);
    return filter;
}

void FilterViewController::setup()
{
    m_clearAllButton->setEnabled(false);
    qDeleteAll(m_checkButtons);
    m_checkButtons.clear();
    m_tags.clear();
    const Kanban* kanban = m_kanbanViewController ? m_kanbanViewController->kanban() : nullptr;
    if (kanban) {
        const auto& filter = m_kanbanViewController->tagFilter();
        for (Tag* tag : kanban->tags()) {
            auto* box = new QCheckBox(tag->name(), m_checkboxContainer);
            box->setFixedHeight(rowHeight);
            if (filter && filter->contains(tag)) {
                box->setChecked(true);
                m_clearAllButton->setEnabled(true);
            }
            connect(box, &QCheckBox::clicked, this, &FilterViewController::setFilter);
            m_checkboxLayout->addWidget(box);
            m_checkButtons.append(box);
            m_tags.append(tag);
        }
    }
    const int rows = int(m_checkButtons.size());
    m_checkboxContainer->setFixedHeight(rowHeight * rows);
    m_scrollArea->setFixedHeight(rowHeight * std::min(rows, visibleRows));
    m_scrollArea->setMinimumWidth(
        m_checkboxContainer->sizeHint().width() +
        (rows > visibleRows ? m_scrollArea->verticalScrollBar()->sizeHint().width() : 0));
    m_scrollArea->setVisible(rows > 0);
    m_noTagsLabel->setVisible(rows == 0);
}

void FilterViewController::setFilter()
{
    if (!m_kanbanViewController)
        return;
    QList<Tag*> tags;
    for (qsizetype i = 0; i < m_checkButtons.size(); ++i) {
        if (m_checkButtons[i]->isChecked() && !m_tags[i]->isDeleted())
            tags.append(m_tags[i]);
    }
    // No box checked means no filter, never an empty one (that would show no card at all).
    m_clearAllButton->setEnabled(!tags.isEmpty());
    m_kanbanViewController->setTagFilter(tags.isEmpty() ? std::nullopt
                                                        : std::optional<QList<Tag*>>(tags));
}

void FilterViewController::clearAllFilter()
{
    for (QCheckBox* box : std::as_const(m_checkButtons))
        box->setChecked(false);
    m_clearAllButton->setEnabled(false);
    if (m_kanbanViewController)
        m_kanbanViewController->setTagFilter(std::nullopt);
}
