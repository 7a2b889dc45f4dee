// List view benchmark: opening a plain list of 5,000 items in the list view, against opening a
// board whose one column holds 5,000 cards of the same notes in the board view, in the same
// run and window size. Both tables lay out from the same cached card heights, so the ratio
// should stay near 1.

#include "BenchHome.h"
#include "StoreGenerator.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "board/ListViewController.h"
#include "cards/ListItemCellView.h"
#include "cards/ListTabViewController.h"
#include "cards/PlainListTableView.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int itemCount = 5000;
constexpr int rounds = 5;
constexpr QSize windowSize(1200, 900);

// Waits until a widget has painted once.
class PaintWaiter final : public QObject
{
public:
    explicit PaintWaiter(QWidget* widget) { widget->installEventFilter(this); }
    bool painted() const { return m_painted; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_painted = m_painted || event->type() == QEvent::Paint;
        return false;
    }

private:
    bool m_painted = false;
};

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Shows the window, runs `open`, which returns the card table's viewport, and returns the
// milliseconds until that has painted and the layouts it asked for are done.
template <class Open>
double timeOpening(QWidget& window, const Open& open)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("bench_list: the window was not shown");
    settle();
    QElapsedTimer timer;
    timer.start();
    // Nothing is painted before the event loop turns: the waiter is in place in time.
    PaintWaiter waiter(open());
    while (!waiter.painted())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    settle();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const BenchHome home;
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);

    AppDelegate delegate;
    if (!delegate.launch())
        return 1;
    ObjectContext* context = delegate.managedObjectContext();
    auto* root = context->insert<Root>();
    auto* list = context->insert<List>();
    list->setTitle(QStringLiteral("Long list"));
    root->insertChild(list);
    auto* board = context->insert<Kanban>();
    board->setTitle(QStringLiteral("Long column"));
    root->insertChild(board);
    auto* column = context->insert<KanbanColumn>();
    column->setTitle(QStringLiteral("Everything"));
    column->setKanban(board);
    // The same notes on both sides, item for item.
    QRandomGenerator random(1);
    QList<ListItem*> items;
    QList<ListItem*> cards;
    for (int i = 0; i < itemCount; ++i) {
        const RichText notes = StoreGenerator::notes(random, i);
        for (QList<ListItem*>* side : {&items, &cards}) {
            auto* item = context->insert<ListItem>();
            item->setTitle(QStringLiteral("Item %1").arg(i));
            item->setAttributedNotes(notes);
            item->setNotesExpanded(i % 3 != 0);
            side->append(item);
        }
    }
    list->setItem(items);
    column->setItem(cards);
    delegate.save();
    std::printf("list benchmark: a list of %d items and a column of %d cards, window %d x %d\n",
                itemCount, itemCount, windowSize.width(), windowSize.height());

    std::vector<double> listTimes;
    std::vector<double> columnTimes;
    std::vector<double> listLayouts;
    std::vector<double> columnLayouts;
    // Alternating, each on a fresh view, the first round of each only warming up.
    for (int round = 0; round <= rounds; ++round) {
        {
            QWidget window;
            window.resize(windowSize);
            auto* layout = new QVBoxLayout(&window);
            layout->setContentsMargins(0, 0, 0, 0);
            auto* view = new ListTabViewController(&window);
            layout->addWidget(view);
            const qint64 before = ListItemCellView::layoutCount();
            const double ms = timeOpening(window, [view, list] {
                view->setList(list);
                return view->tableView()->viewport();
            });
            if (round > 0) {
                listTimes.push_back(ms);
                listLayouts.push_back(double(ListItemCellView::layoutCount() - before));
            }
        }
        {
            QWidget window;
            window.resize(windowSize);
            auto* layout = new QVBoxLayout(&window);
            layout->setContentsMargins(0, 0, 0, 0);
            auto* view = new KanbanViewController(&window);
            layout->addWidget(view);
            const qint64 before = ListItemCellView::layoutCount();
            const double ms = timeOpening(window, [view, board] {
                view->setKanban(board);
                return view->itemAt(0)->tableView()->viewport();
            });
            if (round > 0) {
                columnTimes.push_back(ms);
                columnLayouts.push_back(double(ListItemCellView::layoutCount() - before));
            }
        }
    }
    const double listOpen = median(listTimes);
    const double columnOpen = median(columnTimes);
    std::printf(
        "  open:      list %.1f ms, column %.1f ms (median of %d; ratio list/column %.2f)\n",
        listOpen, columnOpen, rounds, listOpen / columnOpen);
    std::printf("  layouts:   %.0f card layouts for the list, %.0f for the column\n",
                median(listLayouts), median(columnLayouts));
    return 0;
}
