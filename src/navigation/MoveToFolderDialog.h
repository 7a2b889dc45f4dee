#pragma once

#include <QDialog>
#include <QList>

class DisplayItem;
class QListWidget;
class Root;

// "Move to…": the folders a choice of sidebar nodes can go into, as an indented list with the
// top level first (never a folder among the nodes or inside them). Return or OK chooses the
// highlighted one; typing a folder's first letters goes to it.
class MoveToFolderDialog final : public QDialog
{
    Q_OBJECT

public:
    MoveToFolderDialog(Root* root, const QList<DisplayItem*>& items, QWidget* parent = nullptr);

    QListWidget* folderList() const { return m_folderList; }
    // The destinations in list order (the root first).
    const QList<DisplayItem*>& destinations() const { return m_destinations; }
    // The highlighted destination; null when none.
    DisplayItem* chosenFolder() const;

private:
    void addFolders(DisplayItem* parent, int depth, const QList<DisplayItem*>& items);

    QListWidget* m_folderList;
    QList<DisplayItem*> m_destinations;
};
