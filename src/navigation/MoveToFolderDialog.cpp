#include "MoveToFolderDialog.h"

#include "model/Root.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

MoveToFolderDialog::MoveToFolderDialog(Root* root, const QList<DisplayItem*>& items,
                                       QWidget* parent)
    : QDialog(parent)
    , m_folderTree(new QTreeWidget(this))
{
    setWindowTitle(tr("Move to Folder"));
    auto* label =
        new QLabel(items.size() == 1 ? tr("Move “%1” to:").arg(items.first()->title())
                                     : tr("Move %n items to:", nullptr, int(items.size())),
                   this);
    label->setBuddy(m_folderTree);
    m_folderTree->setHeaderHidden(true);
    m_folderTree->setRootIsDecorated(false);
    auto* top = new QTreeWidgetItem(m_folderTree, {tr("Top Level")});
    top->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(root)));
    addFolders(root, top, items);
    m_folderTree->expandAll();
    m_folderTree->setCurrentItem(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Move"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_folderTree, &QTreeWidget::itemActivated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_folderTree, 1);
    layout->addWidget(buttons);
    resize(360, 380);
    m_folderTree->setFocus();
}

void MoveToFolderDialog::addFolders(DisplayItem* parent, QTreeWidgetItem* row,
                                    const QList<DisplayItem*>& items)
{
    for (DisplayItem* child : parent->children()) {
        if (!child->isKindOf(Entity::Folder) || items.contains(child))
            continue;
        auto* folder = new QTreeWidgetItem(row, {child->title()});
        folder->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(child)));
        addFolders(child, folder, items);
    }
}

DisplayItem* MoveToFolderDialog::chosenFolder() const
{
    const QTreeWidgetItem* row = m_folderTree->currentItem();
    return row ? reinterpret_cast<DisplayItem*>(row->data(0, Qt::UserRole).value<quintptr>())
               : nullptr;
}
