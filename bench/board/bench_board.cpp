// Board view benchmarks. Open and repaint are also given as ratios to plain QListViews of as
// many one-line rows, built in the same run on the same screen:
//   open:      handing a board of 5,000 cards in 10 columns to the column lists until every
//              column has painted its first frame
//   repaint:   scrolling one column by a screen (or by 60 pixels) and repainting it in full
//   memory:    what the open board adds to the process
//   keystroke: a key typed into a card's notes until the frame is repainted, and how many card
//              layouts it caused
// With --screenshots DIR it renders the tutorial board into DIR instead.

#include "StoreGenerator.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "cards/CardEditor.h"
#include "cards/ListItemCellView.h"
#include "interchange/JSONReader.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QListView>
#include <QMimeData>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int columnWidth = 280;
constexpr QSize windowSize(columnWidth * 10, 900);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Counts the paint events of some widgets.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(const QList<QWidget*>& widgets)
    {
        for (QWidget* widget : widgets)
            widget->installEventFilter(this);
        m_count = widgets.size();
    }
    bool allPainted() const { return m_painted.size() == m_count; }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            m_painted.insert(watched);
            ++m_paints;
        }
        return false;
    }

private:
    QSet<QObject*> m_painted;
    qsizetype m_count = 0;
    int m_paints = 0;
};

double showAndWaitForPaint(QWidget& window, const QList<QWidget*>& viewports,
                           const QElapsedTimer& timer)
{
    PaintCounter counter(viewports);
    window.show();
    while (!counter.allPainted())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double painted = double(timer.nsecsElapsed()) / 1e6;
    const int paints = counter.paints();
    QCoreApplication::processEvents();
    if (counter.paints() > paints)
        std::printf("  (a second frame followed the first)\n");
    return painted;
}

void makeGeneratedStore()
{
    const QString folder = DataFolder::standardPath();
    QDir().mkpath(folder);
    QString error;
    auto store = SqliteStore::open(DataFolder::storePath(folder), &error);
    if (!store)
        qFatal("bench_board: %s", qPrintable(error));
    ObjectContext context(std::move(store));
    if (!context.load(&error))
        qFatal("bench_board: %s", qPrintable(error));
    StoreGenerator::Options options;
    // A twentieth of the cards go to lists; the first board takes the rest.
    options.cards = 5264;
    options.cardsPerBoard = 5000;
    options.columnsPerBoard = 10;
    options.largeColumnCards = 0;
    StoreGenerator::generate(context, options);
    if (!context.save(&error))
        qFatal("bench_board: %s", qPrintable(error));
}

Kanban* largestBoard(ObjectContext* context)
{
    Kanban* best = nullptr;
    int most = -1;
    for (Kanban* board : context->fetch<Kanban>()) {
        int cards = 0;
        for (const KanbanColumn* column : board->column())
            cards += int(column->item().size());
        if (cards > most) {
            most = cards;
            best = board;
        }
    }
    return best;
}

struct BoardWindow
{
    QWidget window;
    QList<KanbanColumnListViewController*> lists;
    QList<QWidget*> viewports;

    explicit BoardWindow(Kanban* board)
    {
        window.resize(windowSize);
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (KanbanColumn* column : board->column()) {
            auto* list = new KanbanColumnListViewController(&window);
            list->tableView()->setFixedWidth(columnWidth);
            layout->addWidget(list->tableView());
            list->setColumn(column);
            lists.append(list);
            viewports.append(list->tableView()->viewport());
        }
    }
};

struct PlainWindow
{
    QWidget window;
    QList<QListView*> views;
    QList<QWidget*> viewports;

    explicit PlainWindow(int rowsPerColumn)
    {
        window.resize(windowSize);
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        QStringList rows;
        for (int i = 0; i < rowsPerColumn; ++i)
            rows.append(QStringLiteral("Card %1 with a line of text").arg(i));
        for (int c = 0; c < 10; ++c) {
            auto* view = new QListView(&window);
            view->setModel(new QStringListModel(rows, view));
            view->setFixedWidth(columnWidth);
            view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
            layout->addWidget(view);
            views.append(view);
            viewports.append(view->viewport());
        }
    }
};

// The median time of scrolling one column by `step` and repainting it in full: what a frame
// of scrolling costs, the layout of cards coming into view included.
template <class Views>
double repaintAfterScrolling(Views& views, int step)
{
    std::vector<double> times;
    for (int s = 1; s <= 8; ++s) {
        for (auto* view : views) {
            QElapsedTimer timer;
            timer.start();
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + step);
            view->viewport()->repaint();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        QCoreApplication::processEvents();
    }
    return median(times);
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

int runBenchmarks()
{
    makeGeneratedStore();
    AppDelegate delegate;
    if (!delegate.launch())
        return 1;
    ObjectContext* context = delegate.managedObjectContext();
    Kanban* board = largestBoard(context);
    int cards = 0;
    for (const KanbanColumn* column : board->column())
        cards += int(column->item().size());
    std::printf("board benchmarks: %d cards in %lld columns, window %d x %d\n", cards,
                qlonglong(board->column().size()), windowSize.width(), windowSize.height());

    // Fonts and styles are loaded once per process: neither measurement pays for that.
    {
        QElapsedTimer warmUpTimer;
        warmUpTimer.start();
        PlainWindow warmUp(20);
        showAndWaitForPaint(warmUp.window, warmUp.viewports, warmUpTimer);
        QTextDocument document;
        document.setHtml(QStringLiteral("<b>Warm</b> up"));
        document.size();
    }
    QElapsedTimer plainTimer;
    plainTimer.start();
    PlainWindow plain(cards / 10);
    const double plainOpen = showAndWaitForPaint(plain.window, plain.viewports, plainTimer);

    const qint64 memoryBefore = residentKilobytes();
    const qint64 layoutsBefore = ListItemCellView::layoutCount();
    QElapsedTimer openTimer;
    openTimer.start();
    BoardWindow shown(board);
    const double open = showAndWaitForPaint(shown.window, shown.viewports, openTimer);
    const qint64 memoryAfter = residentKilobytes();
    std::printf("  open:      %.1f ms (plain list %.1f ms, ratio %.2f); %lld card layouts\n", open,
                plainOpen, open / plainOpen,
                qlonglong(ListItemCellView::layoutCount() - layoutsBefore));
    std::printf("  memory:    the open board adds %.1f MB\n",
                double(memoryAfter - memoryBefore) / 1024.0);

    QList<QAbstractItemView*> cardViews;
    for (KanbanColumnListViewController* list : std::as_const(shown.lists))
        cardViews.append(list->tableView());
    for (const int step : {windowSize.height(), 60}) {
        const double repaint = repaintAfterScrolling(cardViews, step);
        const double plainRepaint = repaintAfterScrolling(plain.views, step);
        std::printf("  repaint:   %.2f ms to scroll one column of %d x %d by %d px and repaint it "
                    "(plain list %.2f ms, ratio %.2f)\n",
                    repaint, columnWidth, windowSize.height(), step, plainRepaint,
                    repaint / plainRepaint);
    }

    // Typing into a card of the first column.
    KanbanColumnListViewController* first = shown.lists.first();
    auto* view = first->tableView();
    view->verticalScrollBar()->setValue(0);
    QCoreApplication::processEvents();
    const QModelIndex index = view->model()->index(1, 0);
    view->edit(index);
    auto* editor = qobject_cast<CardEditor*>(view->indexWidget(index));
    if (!editor)
        qFatal("bench_board: no card editor opened");
    editor->focusNotesAtEnd();
    QCoreApplication::processEvents();
    std::vector<double> keystrokes;
    std::vector<double> lineFeeds;
    std::vector<double> layouts;
    for (int i = 0; i < 30; ++i) {
        const qint64 before = ListItemCellView::layoutCount();
        int editorLayouts = 0;
        const auto connection =
            QObject::connect(editor->notesTextView()->document(), &QTextDocument::contentsChanged,
                             [&editorLayouts] { ++editorLayouts; });
        PaintCounter painted({editor->notesTextView()->viewport()});
        QElapsedTimer timer;
        timer.start();
        // Every tenth key starts a new line, so that the card grows now and then.
        if (i % 10 == 9)
            QTest::keyClick(editor->notesTextView(), Qt::Key_Return);
        else
            QTest::keyClick(editor->notesTextView(), char('a' + i % 26));
        while (!painted.allPainted())
            QCoreApplication::processEvents();
        settle();
        (i % 10 == 9 ? lineFeeds : keystrokes).push_back(double(timer.nsecsElapsed()) / 1e6);
        QObject::disconnect(connection);
        // The edited card is laid out by its editor; any other layout is the painted cards'.
        layouts.push_back(double(ListItemCellView::layoutCount() - before) +
                          (editorLayouts > 0 ? 1.0 : 0.0));
    }
    std::printf("  keystroke: %.2f ms to the repainted frame (median of 27 letters); %.2f ms for a "
                "line feed, which makes the card taller (median of 3); %.0f card layout(s) each "
                "(at most %.0f)\n",
                median(keystrokes), median(lineFeeds), median(layouts),
                *std::max_element(layouts.begin(), layouts.end()));
    return 0;
}

int takeScreenshots(const QString& directory)
{
    AppDelegate delegate;
    if (!delegate.launch())
        return 1;
    ObjectContext* context = delegate.managedObjectContext();
    context->insert<Root>();
    QFile tutorial(QStringLiteral(":/introduction_tutorial.Pinwheels"));
    if (!tutorial.open(QIODevice::ReadOnly))
        qFatal("bench_board: no tutorial");
    JSONReader::shared().setContext(context);
    QString error;
    if (!JSONReader::shared().importDocument(tutorial.readAll(), &error))
        qFatal("bench_board: %s", qPrintable(error));
    delegate.save();
    Kanban* board = largestBoard(context);
    BoardWindow shown(board);
    shown.window.resize(columnWidth * int(board->column().size()), 760);
    QPalette background = shown.window.palette();
    background.setColor(QPalette::Window, QColor(0xE4, 0xE7, 0xEB));
    shown.window.setPalette(background);
    shown.window.setAutoFillBackground(true);
    shown.window.show();
    if (!QTest::qWaitForWindowExposed(&shown.window))
        qFatal("bench_board: the window was not shown");
    settle();
    QDir().mkpath(directory);
    shown.window.grab().save(directory + QStringLiteral("/board.png"));

    // A selected card, another being edited, and a drag hovering over the second column.
    KanbanColumnListViewController* first = shown.lists.first();
    first->tableView()->selectionModel()->select(first->tableView()->model()->index(2, 0),
                                                 QItemSelectionModel::ClearAndSelect);
    const QModelIndex editing = first->tableView()->model()->index(1, 0);
    first->tableView()->edit(editing);
    if (auto* editor = qobject_cast<CardEditor*>(first->tableView()->indexWidget(editing)))
        editor->focusNotesAtEnd();
    auto* second = qobject_cast<KanbanColumnTableView*>(shown.lists.at(1)->tableView());
    std::unique_ptr<QMimeData> drag = first->columnTableView()->prepareDrag({2});
    const QRect target = second->visualRect(second->model()->index(2, 0));
    QDragEnterEvent enter(QPoint(target.center().x(), target.top() + 8), Qt::MoveAction, drag.get(),
                          Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(second->viewport(), &enter);
    QDragMoveEvent hover(QPoint(target.center().x(), target.top() + 8), Qt::MoveAction, drag.get(),
                         Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(second->viewport(), &hover);
    QTest::qWait(250); // the gap opens
    settle();
    shown.window.grab().save(directory + QStringLiteral("/board-editing-dragging.png"));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(second->viewport(), &leave);

    // The done cards archived, then shown below the active cards.
    for (KanbanColumnListViewController* list : std::as_const(shown.lists))
        list->archiveDoneItems();
    delegate.defaults().setValue(Defaults::listViewMode, 1);
    for (KanbanColumnListViewController* list : std::as_const(shown.lists))
        list->fetchListItems();
    settle();
    shown.window.grab().save(directory + QStringLiteral("/board-with-archive.png"));
    std::printf("screenshots in %s\n", qPrintable(directory));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Its own home, so that nothing of the user's is read or written.
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(name,
                QFile::encodeName(home.path() + QStringLiteral("/") + QString::fromLatin1(name)));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype screenshots = arguments.indexOf(QStringLiteral("--screenshots"));
    if (screenshots > 0 && screenshots + 1 < arguments.size())
        return takeScreenshots(arguments.at(screenshots + 1));
    return runBenchmarks();
}
