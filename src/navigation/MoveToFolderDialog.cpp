#include "MoveToFolderDialog.h"

#include "model/Root.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

MoveToFolderDialog::MoveToFolderDialog(Root* root, const QList<DisplayItem*>& items,
                                       QWidget* parent)
    : QDialog(parent)
    , m_folderList(new QListWidget(this))
{
    setWindowTitle(tr("Move to Folder"));
    auto* label =
        new QLabel(items.size() == 1 ? tr("Move “%1” to:").arg(items.first()->title())
                                     : tr("Move %n items to:", nullptr, int(items.size())),
                   this);
    label->setBuddy(m_folderList);
    m_destinations.append(root);
    m_folderList->addItem(tr("Top Level"));
    addFolders(root, 1, items);
    m_folderList->setCurrentRow(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Move"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_folderList, &QListWidget::itemActivated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_folderList, 1);
    layout->addWidget(buttons);
    resize(360, 380);
    m_folderList->setFocus();
}

void MoveToFolderDialog::addFolders(DisplayItem* parent, int depth,
                                    const QList<DisplayItem*>& items)
{
    for (DisplayItem* child : parent->children()) {
        if (!child->isKindOf(Entity::Folder) || items.contains(child))
            continue;
        m_destinations.append(child);
        m_folderList->addItem(QString(depth * 4, u' ') + child->title());
        addFolders(child, depth + 1, items);
    }
}

DisplayItem* MoveToFolderDialog::chosenFolder() const
{
    const int row = m_folderList->currentRow();
    return row >= 0 && row < m_destinations.size() ? m_destinations.at(row) : nullptr;
}
