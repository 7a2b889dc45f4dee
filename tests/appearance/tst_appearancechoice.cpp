#include "IsolatedEnvironment.h"
#include "KanbanFixture.h"
#include "StoreTestSupport.h"
#include "appearance/BackgroundImage.h"
#include "appearance/ColourCircleButton.h"
#include "appearance/InfoViewController.h"
#include "appearance/ToolbarInfoMenu.h"
#include "appearance/ViewWithBackground.h"
#include "store/DataFolder.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

// Choosing a board's colour and picture in the information popover and the toolbar menu: what
// the board shows, undo and the store afterwards.
class AppearanceChoiceTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppDelegate> delegate;

    static QString storedBgImage(const QString& boardTitle)
    {
        std::unique_ptr<ObjectContext> stored =
            StoreTestSupport::open(DataFolder::storePath(DataFolder::standardPath()));
        for (const Kanban* kanban : stored ? stored->fetch<Kanban>() : QList<Kanban*>())
            if (kanban->title() == boardTitle)
                return kanban->bgImage();
        return QStringLiteral("no such board");
    }

private Q_SLOTS:
    void initTestCase()
    {
        delegate = std::make_unique<AppDelegate>();
        QVERIFY(delegate->launch());
        QVERIFY(delegate->managedObjectContext());
        MessageBox::takeShownAlerts(); // answers alerts from now on
    }

    void popover_thumbnailChangesThePicture_selectedHasABlackBorder_undoable()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Pictures"));
        board.show();
        InfoViewController info(board.board, &board.window);
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QListWidget* pictures = info.pictureCollection();
        QCOMPARE(pictures->count(), 46);
        QCOMPARE(pictures->selectedItems().first()->data(Qt::UserRole).toString(),
                 QStringLiteral("wlbackground01"));

        // The picture shows through the board where no column covers it.
        const auto boardPixel = [&board] {
            QWidget* view = board.view;
            return view->grab().toImage().pixelColor(view->width() - 8, view->height() - 30);
        };
        const QColor onFirst = boardPixel();

        QListWidgetItem* fifth = pictures->item(4);
        pictures->scrollToItem(fifth);
        const QRect cell = pictures->visualItemRect(fifth);
        QTest::mouseClick(pictures->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(board.board->bgImage(), QStringLiteral("wlbackground05"));
        QCOMPARE(KanbanFixture::undo()->undoText(), QStringLiteral("Change Background"));
        QCOMPARE(board.view->backgroundView()->shownName(), QStringLiteral("wlbackground05"));
        QVERIFY(boardPixel() != onFirst);
        QCOMPARE(storedBgImage(QStringLiteral("Pictures")), QStringLiteral("wlbackground05"));
        QVERIFY(fifth->isSelected());
        const QImage drawn = pictures->viewport()->grab().toImage();
        const QPoint edge(cell.center().x() - 22, cell.center().y());
        QCOMPARE(drawn.pixelColor(edge), QColor(Qt::black));
        const QRect first = pictures->visualItemRect(pictures->item(0));
        QVERIFY(drawn.pixelColor(first.center().x() - 22, first.center().y()) != QColor(Qt::black));

        KanbanFixture::undo()->undo();
        QVERIFY(board.board->bgImage().isEmpty());
        QCOMPARE(board.view->backgroundView()->shownName(), QStringLiteral("wlbackground01"));
        QVERIFY(pictures->item(0)->isSelected());
        QVERIFY(storedBgImage(QStringLiteral("Pictures")).isEmpty());
    }

    void popover_colourButtons_andANonPictureIsRefused()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Colours"));
        board.show();
        InfoViewController info(board.board, &board.window);
        info.show();
        QCOMPARE(info.colourButtons().size(), 7);
        QCOMPARE(info.colourButtons().at(0)->state(), 1);
        QTest::mouseClick(info.colourButtons().at(3), Qt::LeftButton);
        QCOMPARE(board.board->colour(), qint16(3));
        QCOMPARE(KanbanFixture::undo()->undoText(), QStringLiteral("Change Colour"));
        QCOMPARE(info.colourButtons().at(3)->state(), 1);
        QCOMPARE(info.colourButtons().at(0)->state(), 0);
        KanbanFixture::undo()->undo();
        QCOMPARE(board.board->colour(), qint16(0));

        QTemporaryDir elsewhere;
        const QString fake = QDir(elsewhere.path()).filePath(QStringLiteral("fake.jpg"));
        QFile file(fake);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("plain text");
        file.close();
        const int steps = KanbanFixture::undo()->count();
        QVERIFY(!info.chooseCustomImageWithPath(fake));
        QCOMPARE(MessageBox::takeShownAlerts().size(), 1);
        QVERIFY(board.board->bgImage().isEmpty());
        QCOMPARE(KanbanFixture::undo()->count(), steps);
        QVERIFY(!QFile::exists(
            QDir(BackgroundImage::picturesDirectory()).filePath(QStringLiteral("fake.jpg"))));
    }

    void toolbarMenu_260Wide_rebuiltOnOpening_choicesUndoable()
    {
        KanbanFixture board({QStringLiteral("To do")}, QStringLiteral("Menu"));
        board.show();
        ToolbarInfoMenu menu;
        menu.setItemProvider([&board] { return board.board; });
        QCOMPARE(menu.width(), 260);
        board.board->setColour(5);
        menu.populateMenu();
        QCOMPARE(menu.colourButtons().size(), 7);
        QCOMPARE(menu.colourButtons().at(5)->state(), 1);
        const QList<QToolButton*> thumbnails = menu.findChildren<QToolButton*>();
        QCOMPARE(thumbnails.size(), 30);
        QCOMPARE(thumbnails.first()->size(), QSize(48, 48));

        QTest::mouseClick(menu.colourButtons().at(2), Qt::LeftButton);
        QCOMPARE(board.board->colour(), qint16(2));
        QCOMPARE(menu.colourButtons().at(2)->state(), 1);
        QCOMPARE(menu.colourButtons().at(5)->state(), 0);
        menu.backgroundSelected(11);
        QCOMPARE(board.board->bgImage(), QStringLiteral("wlbackground12"));
        QCOMPARE(board.view->backgroundView()->shownName(), QStringLiteral("wlbackground12"));
        KanbanFixture::undo()->undo();
        KanbanFixture::undo()->undo();
        QCOMPARE(board.board->colour(), qint16(5));
        QVERIFY(board.board->bgImage().isEmpty());
        menu.populateMenu();
        QCOMPARE(menu.colourButtons().at(5)->state(), 1);
    }
};

PINWHEELS_GUI_TEST_MAIN(AppearanceChoiceTest)
#include "tst_appearancechoice.moc"
