#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/List.h"
#include "model/Root.h"
#include "navigation/FHLeftSidebarViewController.h"
#include "navigation/SourceOutlineModel.h"
#include "navigation/SourceOutlineView.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QMimeData>
#include <QTest>

// Dragging sidebar rows: every rule of the drop validation, where accepted drops put the nodes,
// and a drop through the view itself.
class SidebarDropTest : public QObject
{
    Q_OBJECT

    // The tree of every case, below the tutorial's two rows:
    //   Work [Groceries (list), Plan (board), Archive [Old (board)]]
    //   Solo (board)
    //   Home [Trip (board)]
    std::unique_ptr<MainWindowFixture> app;

    DisplayItem* add(Entity entity, const QString& title, DisplayItem* parent)
    {
        auto* item = static_cast<DisplayItem*>(app->context().insertObject(entity));
        item->setTitle(title);
        parent->insertChild(item);
        return item;
    }

    // Starts a drag of the named rows, as the view does.
    std::unique_ptr<QMimeData> drag(const QStringList& titles)
    {
        QModelIndexList indexes;
        for (const QString& title : titles)
            indexes.append(app->indexOf(title));
        return std::unique_ptr<QMimeData>(app->model().mimeData(indexes));
    }

    QModelIndex target(const QString& title) const
    {
        return title.isEmpty() ? QModelIndex() : app->indexOf(title);
    }

private Q_SLOTS:
    void init()
    {
        app = std::make_unique<MainWindowFixture>();
        Root* root = &app->root();
        DisplayItem* work = add(Entity::Folder, QStringLiteral("Work"), root);
        add(Entity::List, QStringLiteral("Groceries"), work);
        add(Entity::Kanban, QStringLiteral("Plan"), work);
        DisplayItem* archive = add(Entity::Folder, QStringLiteral("Archive"), work);
        add(Entity::Kanban, QStringLiteral("Old"), archive);
        add(Entity::Kanban, QStringLiteral("Solo"), root);
        DisplayItem* home = add(Entity::Folder, QStringLiteral("Home"), root);
        add(Entity::Kanban, QStringLiteral("Trip"), home);
        QVERIFY(app->delegate().save());
    }

    void cleanup() { app.reset(); }

    // Each row: the dragged titles, the row dropped onto (empty: the top level) and the child
    // index proposed (-1: onto the row), whether it is accepted, the folder to look at
    // afterwards (empty: the top level) and its children then. Lists of titles are "|"-separated.
    void validation_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("onto");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("landsIn");
        QTest::addColumn<QString>("children");

        const QString top =
            QStringLiteral("Welcome to Pinwheels|More about Pinwheels|Work|Solo|Home");
        const auto row = [](const char* name, const char* dragged, const char* onto, int index,
                            bool accepted, const char* landsIn, const QString& children) {
            QTest::newRow(name) << QString::fromUtf8(dragged) << QString::fromUtf8(onto) << index
                                << accepted << QString::fromUtf8(landsIn) << children;
        };
        row("onto a dragged node", "Work", "Work", -1, false, "", top);
        row("a list to the top level", "Groceries", "", 0, false, "", top);
        row("a board to the top level", "Plan", "", 1, true, "",
            QStringLiteral("Welcome to Pinwheels|Plan|More about Pinwheels|Work|Solo|Home"));
        row("onto a board in a folder: before it, in its folder", "Home", "Plan", -1, true, "Work",
            QStringLiteral("Groceries|Home|Plan|Archive"));
        row("onto a board at the top level", "Trip", "Solo", -1, true, "",
            QStringLiteral("Welcome to Pinwheels|More about Pinwheels|Work|Trip|Solo|Home"));
        row("a list onto a top-level board", "Groceries", "Solo", -1, false, "", top);
        row("into a folder", "Solo", "Work", 1, true, "Work",
            QStringLiteral("Groceries|Solo|Plan|Archive"));
        row("a list into a folder, at the end", "Groceries", "Home", -1, true, "Home",
            QStringLiteral("Trip|Groceries"));
        row("onto a list", "Solo", "Groceries", -1, false, "", top);
        row("into its own subfolder", "Work", "Archive", 0, false, "", top);
        row("onto a board deep in its own subtree", "Work", "Old", -1, false, "", top);
        row("down within its folder, from 1 to proposed 4", "More about Pinwheels", "", 4, true, "",
            QStringLiteral("Welcome to Pinwheels|Work|Solo|More about Pinwheels|Home"));
        row("two nodes at one index end up reversed", "Plan|Solo", "Home", 0, true, "Home",
            QStringLiteral("Solo|Plan|Trip"));
    }

    void validation()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, onto);
        QFETCH(int, row);
        QFETCH(bool, accepted);
        QFETCH(QString, landsIn);
        QFETCH(QString, children);

        SourceOutlineModel& model = app->model();
        const auto data = drag(dragged.split(u'|'));
        QCOMPARE(model.draggedItems().size(), dragged.split(u'|').size());
        QCOMPARE(model.canDropMimeData(data.get(), Qt::MoveAction, row, 0, target(onto)), accepted);
        QCOMPARE(model.dropMimeData(data.get(), Qt::MoveAction, row, 0, target(onto)), accepted);
        DisplayItem* parent = landsIn.isEmpty() ? &app->root() : app->item(landsIn);
        QCOMPARE(app->childTitles(parent).join(u'|'), children);
        // The rows follow the graph.
        QStringList rows;
        const QModelIndex parentIndex = model.indexForItem(parent);
        for (int r = 0; r < model.rowCount(parentIndex); ++r)
            rows.append(model.index(r, 0, parentIndex).data().toString());
        QCOMPARE(rows.join(u'|'), children);
    }

    void foreignDrags_areRefused()
    {
        SourceOutlineModel& model = app->model();
        const auto ours = drag({QStringLiteral("Solo")});
        QVERIFY(model.canDropMimeData(ours.get(), Qt::MoveAction, -1, 0,
                                      target(QStringLiteral("Home"))));

        QMimeData nothing;
        QVERIFY(!model.canDropMimeData(&nothing, Qt::MoveAction, -1, 0,
                                       target(QStringLiteral("Home"))));
        QMimeData cards;
        cards.setData(QStringLiteral("listItem.displayObject"), "x-pinwheels://p1");
        cards.setData(QString::fromLatin1(SourceOutlineModel::dragType), "allTypes");
        QVERIFY(
            !model.canDropMimeData(&cards, Qt::MoveAction, -1, 0, target(QStringLiteral("Home"))));
        QVERIFY(!model.dropMimeData(&cards, Qt::MoveAction, -1, 0, target(QStringLiteral("Home"))));

        // A drag that did not start in this sidebar has no nodes to move.
        model.clearDraggedItems();
        QVERIFY(!model.canDropMimeData(ours.get(), Qt::MoveAction, -1, 0,
                                       target(QStringLiteral("Home"))));
        QCOMPARE(ours->data(QString::fromLatin1(SourceOutlineModel::dragType)),
                 QByteArray("allTypes"));
    }

    void dropOnARowOfTheView_movesAndKeepsTheTreeInStep()
    {
        SourceOutlineView& view = app->view();
        view.expand(app->indexOf(QStringLiteral("Work")));
        view.selectRow(view.rowForIndex(app->indexOf(QStringLiteral("Home"))));
        const auto data = drag({QStringLiteral("Home")});
        const QRect plan = view.visualRect(app->indexOf(QStringLiteral("Plan")));
        // The events a drag over the view delivers: entering makes the view the drop target.
        QDragEnterEvent enter(plan.center(), Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(plan.center(), Qt::MoveAction, data.get(), Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(plan.center(), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &drop);
        QVERIFY(drop.isAccepted());
        DisplayItem* work = app->item(QStringLiteral("Work"));
        QCOMPARE(app->childTitles(work),
                 QStringList({QStringLiteral("Groceries"), QStringLiteral("Home"),
                              QStringLiteral("Plan"), QStringLiteral("Archive")}));
        QVERIFY(view.isExpanded(app->indexOf(QStringLiteral("Work"))));
        QVERIFY(!app->context().hasChanges());
        // The moved node stays selected, and the pane is not redisplayed.
        QCOMPARE(app->sidebar().selectedItem(), app->item(QStringLiteral("Home")));
    }
};

PINWHEELS_GUI_TEST_MAIN(SidebarDropTest)
#include "tst_sidebardrop.moc"
