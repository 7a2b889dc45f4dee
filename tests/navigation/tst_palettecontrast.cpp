#include "IsolatedEnvironment.h"
#include "MainWindowFixture.h"
#include "board/CardTableModel.h"
#include "board/DelaySelectionTextField.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "cards/CardGeometry.h"
#include "cards/ListItemCellView.h"
#include "model/Kanban.h"
#include "model/ListItem.h"
#include "navigation/MainTabViewController.h"
#include "navigation/MainWindowController.h"
#include "navigation/SourceOutlineView.h"

#include <QApplication>
#include <QHash>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

// Text stays readable against what it is drawn on, with a light and with a dark palette: the
// window's widgets follow the palette, cards stay light with dark text.
class PaletteContrastTest : public QObject
{
    Q_OBJECT

private:
    static QPalette darkPalette()
    {
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b));
        dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
        dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        return dark;
    }

    static double luminance(QColor colour)
    {
        const auto channel = [](float c) {
            return c <= 0.03928f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
               0.0722 * channel(colour.blueF());
    }

    static double contrast(QColor a, QColor b)
    {
        const double la = luminance(a);
        const double lb = luminance(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    }

    // The contrast of what is drawn in a part of the window: its commonest colour is the fill,
    // the colour farthest from it the text.
    static double contrastOf(QWidget* widget, const QRect& rect)
    {
        QWidget* window = widget->window();
        const QImage image =
            window->grab(QRect(widget->mapTo(window, rect.topLeft()), rect.size())).toImage();
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y)];
        }
        QRgb fill = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > counts.value(fill))
                fill = it.key();
        }
        double best = 1.0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            best = std::max(best, contrast(QColor(fill), QColor(it.key())));
        return best;
    }

private Q_SLOTS:
    void text_isReadableOnItsFill_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void text_isReadableOnItsFill()
    {
        QFETCH(bool, dark);
        const QPalette original = QApplication::palette();
        QApplication::setPalette(dark ? darkPalette() : QPalette());
        {
            MainWindowFixture app;
            app.window().resize(1400, 900);
            auto* board = qobject_cast<KanbanViewController*>(app.tabView().kanbanView());
            QVERIFY(board && board->kanban());
            QTest::qWait(50);

            // A sidebar row that is not selected: its title.
            const QRect row =
                app.view().visualRect(app.indexOf(QStringLiteral("More about Pinwheels")));
            QVERIFY(row.isValid());
            QVERIFY(contrastOf(app.view().viewport(), row.adjusted(60, 2, -row.width() / 3, -2)) >
                    4.5);

            // The toolbar's archive switch and a column title.
            QToolBar* toolBar = app.window().mainToolBar();
            QWidget* button = toolBar->widgetForAction(app.window().showHideArchievedToolbarItem());
            QVERIFY(button);
            QVERIFY(contrastOf(button, button->rect()) > 4.5);
            DelaySelectionTextField* title = board->itemAt(0)->columnTitle();
            // The title is large white text with a shadow on the board's picture: 3:1 is the
            // measure for large text.
            QCOMPARE(title->fontInfo().pointSize(), KanbanColumnViewItem::largestTitleFontSize);
            QVERIFY(contrastOf(title, title->rect()) > 3.0);

            // A card's notes, and the day a done card was done.
            int checkedCards = 0;
            int checkedDone = 0;
            for (int c = 0; c < board->kanban()->column().size(); ++c) {
                KanbanColumnListViewController* list = board->itemAt(c)->listViewController();
                KanbanColumnTableView* table = list->columnTableView();
                for (ListItem* card : list->listItems()) {
                    const QRect rect = table->visualRect(list->tableModel()->indexForItem(card));
                    const QRect onScreen(table->viewport()->mapTo(&app.window(), rect.topLeft()),
                                         rect.size());
                    if (!table->viewport()->rect().contains(rect) ||
                        !app.window().rect().contains(onScreen))
                        continue;
                    const CardGeometry g = list->cellView()->geometryFor(card, rect);
                    const QRect checked =
                        (card->isDone() ? g.doneDate : g.notes).adjusted(4, 4, -4, -4);
                    if (checked.height() < 8)
                        continue; // notes shown elsewhere, by the editor
                    QVERIFY2(contrastOf(table->viewport(), checked) > 4.5,
                             qPrintable(card->title()));
                    ++checkedCards;
                    checkedDone += card->isDone() ? 1 : 0;
                }
            }
            QVERIFY(checkedCards > 5);
            QVERIFY(checkedDone > 0);
        }
        QApplication::setPalette(original);
    }
};

PINWHEELS_GUI_TEST_MAIN(PaletteContrastTest)
#include "tst_palettecontrast.moc"
