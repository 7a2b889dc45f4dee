#pragma once

#include "board/DelaySelectionTextField.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QTest>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWidget>

// A board of the real store, with columns and cards, shown in the real board view in a window.
class KanbanFixture final
{
public:
    explicit KanbanFixture(const QStringList& columnTitles = {},
                           const QString& title = QStringLiteral("Plan"))
    {
        context = AppDelegate::shared()->managedObjectContext();
        board = context->insert<Kanban>();
        board->setTitle(title);
        board->setParent(root());
        for (const QString& columnTitle : columnTitles)
            addColumn(columnTitle);
        window.resize(1400, 700);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new KanbanViewController(&window);
        layout->addWidget(view);
        AppDelegate::shared()->save();
    }

    Root* root() const
    {
        const QList<Root*> roots = context->fetch<Root>();
        return roots.isEmpty() ? context->insert<Root>() : roots.first();
    }
    KanbanColumn* addColumn(const QString& title, Kanban* to = nullptr)
    {
        auto* column = context->insert<KanbanColumn>();
        column->setTitle(title);
        (to ? to : board)->insertColumn(column);
        return column;
    }
    ListItem* card(KanbanColumn* column, const QString& title, const QList<Tag*>& tags = {})
    {
        auto* item = context->insert<ListItem>();
        item->setTitle(title);
        item->setTags(tags);
        column->insertItem(item);
        return item;
    }
    Tag* tag(const QString& name, Kanban* of = nullptr)
    {
        auto* tag = context->insert<Tag>();
        tag->setName(name);
        (of ? of : board)->addTag(tag);
        return tag;
    }

    // Hands the board to the view and shows it.
    void show()
    {
        AppDelegate::shared()->save();
        view->setKanban(board);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    KanbanColumnViewItem* item(int index) const { return view->itemAt(index); }
    QStringList columnTitles() const { return titlesOf(board->column()); }
    QStringList shownTitles() const
    {
        QStringList titles;
        for (int i = 0; view->itemAt(i); ++i)
            titles.append(view->itemAt(i)->columnTitle()->text());
        return titles;
    }
    static QStringList titlesOf(const QList<KanbanColumn*>& columns)
    {
        QStringList titles;
        for (const KanbanColumn* column : columns)
            titles.append(column->title());
        return titles;
    }
    static QStringList titlesOf(const QList<ListItem*>& items)
    {
        QStringList titles;
        for (const ListItem* item : items)
            titles.append(item->title());
        return titles;
    }
    static QStringList namesOf(const QList<Tag*>& tags)
    {
        QStringList names;
        for (const Tag* tag : tags)
            names.append(tag->name());
        return names;
    }
    static QUndoStack* undo() { return AppDelegate::shared()->undoManager(); }

    ObjectContext* context = nullptr;
    Kanban* board = nullptr;
    QWidget window;
    KanbanViewController* view = nullptr;
};

inline void setListViewMode(int mode)
{
    Defaults::standard().setValue(Defaults::listViewMode, mode);
}
