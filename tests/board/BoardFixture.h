#pragma once

#include "board/CardTableModel.h"
#include "board/KanbanColumnHost.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <QUndoStack>
#include <QWidget>

#include <memory>

// A board of the real store with column lists side by side in a shown window, standing in for
// the board controller where a test needs one.
class BoardFixture final : public KanbanColumnHost
{
public:
    explicit BoardFixture(int columns = 2)
    {
        context = AppDelegate::shared()->managedObjectContext();
        board = context->insert<Kanban>();
        board->setTitle(QStringLiteral("Board"));
        auto* layout = new QHBoxLayout(&window);
        for (int i = 0; i < columns; ++i) {
            auto* column = context->insert<KanbanColumn>();
            column->setTitle(QStringLiteral("Column %1").arg(i));
            board->insertColumn(column);
            auto* list = new KanbanColumnListViewController(&window);
            list->setKanbanViewController(this);
            layout->addWidget(list->tableView());
            lists.append(list);
        }
        window.resize(300 * columns, 700);
        AppDelegate::shared()->save();
    }

    // Shows the columns (after their cards were made) and waits until they are painted.
    void show()
    {
        for (int i = 0; i < lists.size(); ++i)
            lists[i]->setColumn(board->column().at(i));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void refetch()
    {
        for (KanbanColumnListViewController* list : std::as_const(lists))
            list->fetchListItems();
    }

    KanbanColumn* column(int i) const { return board->column().at(i); }

    ListItem* card(int column, const QString& title, bool archived = false)
    {
        auto* item = context->insert<ListItem>();
        item->setTitle(title);
        item->setAttributedNotes(RichText(title, NoteStyle::attributes(NoteStyle::Title)));
        item->setArchived(archived);
        item->setDone(archived);
        board->column().at(column)->insertItem(item);
        return item;
    }
    Tag* tag(const QString& name, int colour = 0)
    {
        auto* tag = context->insert<Tag>();
        tag->setName(name);
        tag->setColour(qint16(colour));
        board->addTag(tag);
        return tag;
    }
    static QStringList titles(const QList<ListItem*>& items)
    {
        QStringList names;
        for (const ListItem* item : items)
            names.append(item->title());
        return names;
    }
    QStringList storedTitles(int column) const { return titles(this->column(column)->item()); }

    // KanbanColumnHost
    Kanban* kanban() const override { return board; }
    void deselectItemsInAllColumnsOtherThanWithColumn(KanbanColumn* column) override
    {
        for (KanbanColumnListViewController* list : std::as_const(lists)) {
            if (list->column() != column)
                list->clearSelection();
        }
    }
    void addColumnWithItem(KanbanColumn* column, bool after) override
    {
        addedColumns.append({column, after});
    }
    void deleteSelectedColumns(KanbanColumn* column) override { deletedColumns.append(column); }
    int numberOfSelectedColumns() const override { return selectedColumns; }
    void pasteColumns() override { ++pastedColumns; }

    ObjectContext* context = nullptr;
    Kanban* board = nullptr;
    QWidget window;
    QList<KanbanColumnListViewController*> lists;
    QList<std::pair<KanbanColumn*, bool>> addedColumns;
    QList<KanbanColumn*> deletedColumns;
    int selectedColumns = 0;
    int pastedColumns = 0;
};

inline void setListViewMode(int mode)
{
    Defaults::standard().setValue(Defaults::listViewMode, mode);
}

// The application delegate and its store, shared by the cases of one test program; each case
// starts in mode 0 with an empty undo history.
class TestStore final
{
public:
    bool open()
    {
        delegate = std::make_unique<AppDelegate>();
        return delegate->launch() && delegate->managedObjectContext();
    }
    void reset()
    {
        setListViewMode(0);
        delegate->undoManager()->clear();
    }
    QUndoStack* undo() const { return delegate->undoManager(); }
    ObjectContext* context() const { return delegate->managedObjectContext(); }

private:
    std::unique_ptr<AppDelegate> delegate;
};
