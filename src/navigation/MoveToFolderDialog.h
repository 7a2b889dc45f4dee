#pragma once

#include <QDialog>
#include <QList>

class DisplayItem;
class QTreeWidget;
class QTreeWidgetItem;
class Root;

// "Move to…": the folders a choice of sidebar nodes can go into, as an unfolded tree under the
// top level (never a folder among the nodes or inside them). Return or OK chooses the
// highlighted one; typing a folder's first letters goes to it.
class MoveToFolderDialog final : public QDialog
{
    Q_OBJECT

public:
    MoveToFolderDialog(Root* root, const QList<DisplayItem*>& items, QWidget* parent = nullptr);

    QTreeWidget* folderTree() const { return m_folderTree; }
    // The highlighted destination; null when none.
    DisplayItem* chosenFolder() const;

private:
    void addFolders(DisplayItem* parent, QTreeWidgetItem* row, const QList<DisplayItem*>& items);

    QTreeWidget* m_folderTree;
};
