#pragma once

#include "widgets/EditResponder.h"

#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>

class DisplayItem;
class FHLeftSidebarViewController;
class QMenu;
class SourceOutlineModel;

// The sidebar's tree: rows of folders, boards and lists, renamed in place (F2, double-click,
// "Rename…"), deleted with the Delete key or "Delete", and rearranged by dragging.
class SourceOutlineView final : public QTreeView, public EditResponder
{
    Q_OBJECT

public:
    explicit SourceOutlineView(FHLeftSidebarViewController* viewController,
                               QWidget* parent = nullptr);

    using QTreeView::edit;

    FHLeftSidebarViewController* viewController() const { return m_viewController; }
    SourceOutlineModel* sourceModel() const;

    // Rows as the sidebar counts them: the visible rows, top to bottom, from 0.
    int numberOfRows() const;
    int rowForIndex(const QModelIndex& index) const;
    QModelIndex indexForRow(int row) const;
    // The selected row (the current one when several are selected); -1 when none.
    int selectedRow() const;
    void selectRow(int row);

    // The row a context menu was opened over, while its command runs; -1 otherwise.
    int clickedRow() const { return m_clickedRow; }
    // The context menu of a row (-1: empty space), as a right-click shows it.
    QMenu* menuForRow(int row, QWidget* parent);

    // Starts editing the title of the clicked row, or else of the selected row.
    void renameItem();
    bool isEditingTitle() const { return state() == EditingState; }
    // Deletes the node of the clicked row.
    void deleteItem();

    bool handlesEditAction(EditAction action) const override;
    bool canPerformEditAction(EditAction action) const override;
    void performEditAction(EditAction action) override;

Q_SIGNALS:
    // Renaming in place ended (committed or cancelled).
    void titleEditingFinished();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // Runs a context-menu command with the menu's row as the clicked row.
    void runForRow(int row, const std::function<void()>& command);
    QPixmap dragPixmap(const QModelIndexList& indexes) const;

    FHLeftSidebarViewController* m_viewController;
    int m_clickedRow = -1;
    QPersistentModelIndex m_editedIndex;
    QString m_titleBeforeEditing;
};
