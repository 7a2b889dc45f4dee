#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "StoreTestSupport.h"
#include "appearance/InfoViewController.h"
#include "cards/ListItemCellView.h"
#include "store/DataFolder.h"
#include "store/NotificationCenter.h"
#include "tags/TagColourTableCell.h"
#include "tags/TagNameTableCell.h"
#include "widgets/MessageBox.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>

namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

// The board's tag table in the information popover: renaming and recolouring tags, undo, the
// store afterwards and the cards that show the tags.
class TagTableTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    // Name and colour of each tag in the store file, read on a connection of its own.
    static QStringList storedTags(const QString& boardTitle)
    {
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        QStringList tags;
        for (const Tag* tag : stored ? stored->fetch<Tag>() : QList<Tag*>())
            if (tag->kanban() && tag->kanban()->title() == boardTitle)
                tags.append(tag->name() + QLatin1Char(':') + QString::number(tag->colour()));
        tags.sort();
        return tags;
    }
    static TagNameTableCell* nameCell(InfoViewController& info, int row)
    {
        return qobject_cast<TagNameTableCell*>(info.tagTable()->cellWidget(row, 1));
    }
    static TagColourTableCell* colourCell(InfoViewController& info, int row)
    {
        return qobject_cast<TagColourTableCell*>(info.tagTable()->cellWidget(row, 0));
    }
    static void typeName(TagNameTableCell* cell, const QString& name)
    {
        cell->setFocus();
        cell->selectAll();
        QTest::keyClicks(cell, name);
        QTest::keyClick(cell, Qt::Key_Return);
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
        QVERIFY(delegate->managedObjectContext());
        MessageBox::takeShownAlerts(); // answers alerts from now on
    }

    void rename_repaintsTokens_isUndoable_andIsStored()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Rename"));
        Tag* urgent = board.tag(QStringLiteral("urgent"));
        board.card(board.board->column().first(), QStringLiteral("Call"), {urgent});
        board.show();
        InfoViewController info(board.board, &board.window);
        info.show();
        QCOMPARE(info.tagTable()->rowCount(), 1);

        QList<const void*> affected;
        QObject observer;
        NotificationCenter::defaultCenter().addObserver(
            &observer, QStringLiteral("tagValueChanged"),
            [&affected](const NotificationCenter::Notification& n) {
                affected.append(n.userInfo.value(QStringLiteral("affectedTag")).value<Tag*>());
            });
        QWidget* cards = board.item(0)->tableView()->viewport();
        PaintCounter counter;
        cards->installEventFilter(&counter);
        QSignalSpy tokens(board.item(0)->listViewController()->cellView(),
                          &ListItemCellView::tagsChanged);
        QTest::qWait(50);
        const int paintsBefore = counter.paints;

        typeName(nameCell(info, 0), QStringLiteral("Urgent now"));
        QCOMPARE(urgent->name(), QStringLiteral("Urgent now"));
        QCOMPARE(affected, QList<const void*>{urgent});
        QCOMPARE(tokens.count(), 1);
        QTRY_VERIFY(counter.paints > paintsBefore);
        QCOMPARE(KanbanFixture::undo()->undoText(), QStringLiteral("Rename Tag"));
        QCOMPARE(storedTags(QStringLiteral("Rename")), QStringList{QStringLiteral("Urgent now:0")});

        KanbanFixture::undo()->undo();
        QCOMPARE(urgent->name(), QStringLiteral("urgent"));
        QCOMPARE(nameCell(info, 0)->text(), QStringLiteral("urgent"));
        QCOMPARE(storedTags(QStringLiteral("Rename")), QStringList{QStringLiteral("urgent:0")});
        KanbanFixture::undo()->redo();
        QCOMPARE(storedTags(QStringLiteral("Rename")), QStringList{QStringLiteral("Urgent now:0")});
        NotificationCenter::defaultCenter().removeObserver(&observer);
    }

    void rename_ontoAnotherTagsName_isRefused_caseCounts()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Clash"));
        Tag* home = board.tag(QStringLiteral("home"));
        Tag* work = board.tag(QStringLiteral("work"));
        board.card(board.board->column().first(), QStringLiteral("Both"), {home, work});
        board.show();
        InfoViewController info(board.board, &board.window);
        info.show();
        const int steps = KanbanFixture::undo()->count();

        typeName(nameCell(info, 1), QStringLiteral("home"));
        QCOMPARE(work->name(), QStringLiteral("work"));
        QCOMPARE(nameCell(info, 1)->text(), QStringLiteral("work"));
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts.first().informativeText.contains(QStringLiteral("“home”")));
        QCOMPARE(KanbanFixture::undo()->count(), steps);

        // Names are exact: another letter case is another name.
        typeName(nameCell(info, 1), QStringLiteral("Home"));
        QCOMPARE(work->name(), QStringLiteral("Home"));
        typeName(nameCell(info, 0), QStringLiteral("  "));
        QCOMPARE(home->name(), QStringLiteral("home"));
        QCOMPARE(MessageBox::takeShownAlerts().size(), 1);
    }

    void recolour_offersSevenSwatches_isUndoable_andIsStored()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Recolour"));
        Tag* tag = board.tag(QStringLiteral("later"));
        tag->setColour(2);
        board.card(board.board->column().first(), QStringLiteral("Read"), {tag});
        board.show();
        InfoViewController info(board.board, &board.window);
        info.show();
        TagColourTableCell* cell = colourCell(info, 0);
        cell->populateMenu();
        const QList<QAction*> swatches = cell->colourPopupMenu()->actions();
        QCOMPARE(swatches.size(), 7);
        QVERIFY(swatches.at(2)->isChecked());
        QVERIFY(!swatches.at(4)->isChecked());

        swatches.at(4)->trigger();
        QCOMPARE(tag->colour(), qint16(4));
        QCOMPARE(KanbanFixture::undo()->undoText(), QStringLiteral("Change Tag Colour"));
        QCOMPARE(storedTags(QStringLiteral("Recolour")), QStringList{QStringLiteral("later:4")});
        cell->populateMenu();
        QVERIFY(cell->colourPopupMenu()->actions().at(4)->isChecked());

        KanbanFixture::undo()->undo();
        QCOMPARE(tag->colour(), qint16(2));
        QCOMPARE(storedTags(QStringLiteral("Recolour")), QStringList{QStringLiteral("later:2")});
    }
};

PINWHEELS_GUI_TEST_MAIN(TagTableTest)
#include "tst_tagtable.moc"
