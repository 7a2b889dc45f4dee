#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "board/ArchivePopUpViewController.h"
#include "cards/PlainListViewController.h"
#include "model/List.h"

#include <QLabel>
#include <QPushButton>

// The archive pop-up: its message for no, one and several done cards, its buttons, and
// archiving from it for a board and for a list.
class ArchivePopUpTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    static void addDone(KanbanFixture& fixture, int count)
    {
        for (int i = 0; i < count; ++i)
            fixture.card(fixture.board->column().first(), QStringLiteral("done"))->setDone(true);
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
    }
    void init()
    {
        setListViewMode(0);
        delegate->undoManager()->clear();
    }

    void messageAndButtons_followTheDoneCards_data()
    {
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("none") << 0 << QStringLiteral("You have no completed cards to archive yet.")
                              << QString();
        QTest::newRow("one") << 1 << QStringLiteral("1 card completed.")
                             << QStringLiteral("1 card archived.");
        QTest::newRow("three") << 3 << QStringLiteral("3 cards completed.")
                               << QStringLiteral("3 cards archived.");
    }
    void messageAndButtons_followTheDoneCards()
    {
        QFETCH(int, done);
        QFETCH(QString, before);
        QFETCH(QString, after);
        KanbanFixture fixture({QStringLiteral("A")});
        fixture.card(fixture.board->column().first(), QStringLiteral("open"));
        addDone(fixture, done);
        fixture.show();
        ArchivePopUpViewController* popup =
            ArchivePopUpViewController::popUp(fixture.view, fixture.view, nullptr);
        QCOMPARE(popup->labelTextField()->text(), before);
        QCOMPARE(popup->archiveButton()->isEnabled(), done > 0);
        QCOMPARE(popup->viewButton()->text(), QStringLiteral("Show Archived"));
        if (done == 0) {
            popup->close();
            return;
        }
        QTest::mouseClick(popup->archiveButton(), Qt::LeftButton);
        QCOMPARE(popup->labelTextField()->text(), after);
        QVERIFY(!popup->archiveButton()->isEnabled());
        QVERIFY(popup->isVisible()); // it stays open with the result
        QCOMPARE(fixture.board->numberOfDone(), 0);
        QCOMPARE(KanbanFixture::undo()->undoText(), QStringLiteral("Archive Done Cards"));
        QVERIFY(!AppDelegate::sharedContext()->hasChanges());
        KanbanFixture::undo()->undo();
        QCOMPARE(fixture.board->numberOfDone(), done);
        popup->close();
    }

    void viewButton_switchesTheView_andCloses_andTheArchiveViewArchivesNothing()
    {
        KanbanFixture fixture({QStringLiteral("A")});
        addDone(fixture, 2);
        fixture.show();
        QPointer<ArchivePopUpViewController> popup =
            ArchivePopUpViewController::popUp(fixture.view, fixture.view, nullptr);
        QTest::mouseClick(popup->viewButton(), Qt::LeftButton);
        QCOMPARE(Defaults::standard().integer(Defaults::listViewMode), 2);
        QTRY_VERIFY(!popup);

        // In the archive view the done cards are counted, but archiving there would do nothing.
        popup = ArchivePopUpViewController::popUp(fixture.view, fixture.view, nullptr);
        QCOMPARE(popup->labelTextField()->text(), QStringLiteral("2 cards completed."));
        QCOMPARE(popup->viewButton()->text(), QStringLiteral("Hide Archived"));
        QVERIFY(!popup->archiveButton()->isEnabled());
        QTest::keyClick(popup, Qt::Key_Escape);
        QTRY_VERIFY(!popup);
    }

    void aListShown_isCountedAndArchived()
    {
        KanbanFixture fixture;
        auto* list = fixture.context->insert<List>();
        list->setTitle(QStringLiteral("Groceries"));
        list->setParent(fixture.root());
        for (const bool done : {true, false, true}) {
            auto* item = fixture.context->insert<ListItem>();
            item->setDone(done);
            list->insertItem(item);
        }
        AppDelegate::shared()->save();
        QWidget window;
        auto* items = new PlainListViewController(&window);
        items->setList(list);
        window.show();
        ArchivePopUpViewController* popup =
            ArchivePopUpViewController::popUp(&window, nullptr, items);
        QCOMPARE(popup->labelTextField()->text(), QStringLiteral("2 cards completed."));
        QTest::mouseClick(popup->archiveButton(), Qt::LeftButton);
        QCOMPARE(popup->labelTextField()->text(), QStringLiteral("2 cards archived."));
        QCOMPARE(items->numberOfDoneNotArchived(), 0);
        QCOMPARE(list->numberOfNonArchived(), 1);
        QCOMPARE(items->numberOfRows(), 2); // the spacer and the one active item
        KanbanFixture::undo()->undo();
        QCOMPARE(items->numberOfDoneNotArchived(), 2);
        popup->close();
    }
};

PINWHEELS_GUI_TEST_MAIN(ArchivePopUpTest)

#include "tst_archivepopup.moc"
