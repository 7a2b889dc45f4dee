// Board view benchmarks, on the real board view (KanbanViewController). Each time is also given
// as a ratio to plain QListViews of as many one-line rows, built in the same run on the same
// screen, side by side in a scroll area of the same size:
//   open:      handing a board of 5,000 cards in 10 columns to the shown board view until every
//              visible column has painted its first frame (plain: handing the views their models)
//   repaint:   one full repaint of the board's viewport after scrolling every column down by a
//              screen, and after scrolling the board sideways by a column; and scrolling one
//              column by a screen or by 60 px and repainting it
//   memory:    what the open board adds to the process
//   keystroke: a key typed into a card's notes until the frame is repainted, and how many card
//              layouts it caused
//   tick:      a click on a painted checklist box until the frame is repainted, the card layouts
//              and how many cards were repainted
//   pictures:  opening a board of 200 expanded cards with a photo each, as stored, against the
//              same board without the photos
// With --screenshots DIR it renders the tutorial board into DIR instead.

#include "BenchBoardWindow.h"
#include "BenchHome.h"
#include "StoreGenerator.h"
#include "board/CardTableModel.h"
#include "board/DelaySelectionTextField.h"
#include "board/KanbanCollectionViewFlowLayout.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"
#include "cards/CardEditor.h"
#include "cards/CardGeometry.h"
#include "cards/ListItemCellView.h"
#include "interchange/JSONReader.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/NoteFormat.h"
#include "model/Root.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/DataFolder.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QListView>
#include <QMimeData>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int columnCount = 10;
constexpr int columnWidth = KanbanColumnViewItem::width;
constexpr QSize windowSize = BenchBoardWindow::size;

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted.insert(watched);
        return false;
    }

private:
    QSet<QObject*> m_painted;
    qsizetype m_count = 0;
};

// Collects what a widget repaints.
class PaintRegions final : public QObject
{
public:
    explicit PaintRegions(QWidget* widget) { widget->installEventFilter(this); }
    const QRegion& region() const { return m_region; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QRegion m_region;
};

void waitForPaint(const QList<QWidget*>& widgets)
{
    PaintCounter counter(widgets);
    while (!counter.allPainted())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

constexpr int picturedCards = 200;

// A photo-like picture of its own for each card: a gradient with noise, as JPEG.
QByteArray photo(int index)
{
    QImage image(800, 600, QImage::Format_RGB32);
    QRandomGenerator random(quint32(index + 1));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] =
                qRgb((x + index * 7) % 256, (y + index * 3) % 256, int(random.bounded(64)) + 96);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

// Two boards of the same 200 cards in four columns, one with a photo on every card.
void addPictureBoards(ObjectContext& context, Root* root)
{
    for (const bool pictured : {false, true}) {
        auto* board = context.insert<Kanban>();
        board->setTitle(pictured ? QStringLiteral("Pictured") : QStringLiteral("Unpictured"));
        root->insertChild(board);
        for (int c = 0; c < 4; ++c) {
            auto* column = context.insert<KanbanColumn>();
            column->setTitle(QStringLiteral("Column %1").arg(c + 1));
            board->insertColumn(column);
            for (int i = c; i < picturedCards; i += 4) {
                RichText notes(QStringLiteral("Trip photo %1\n").arg(i),
                               NoteStyle::attributes(NoteStyle::Title));
                notes.append(RichText(QStringLiteral("Taken on the second day.\n"),
                                      NoteStyle::attributes(NoteStyle::Body)));
                if (pictured) {
                    RichText::Attributes picture = NoteStyle::attributes(NoteStyle::Body);
                    picture.attachment =
                        RichText::Attachment{QStringLiteral("image/jpeg"), photo(i)};
                    notes.append(RichText(QString(RichText::attachmentCharacter), picture));
                }
                auto* card = context.insert<ListItem>();
                card->setAttributedNotes(notes);
                card->setNotesExpanded(true);
                column->insertItem(card);
            }
        }
    }
}

Kanban* boardTitled(ObjectContext* context, const QString& title)
{
    const QList<Kanban*> boards =
        context->fetch<Kanban>([&title](const Kanban& b) { return b.title() == title; }, 1);
    return boards.isEmpty() ? nullptr : boards.first();
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
    options.columnsPerBoard = columnCount;
    options.largeColumnCards = 0;
    const StoreGenerator::Result generated = StoreGenerator::generate(context, options);
    addPictureBoards(context, generated.root);
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

// Plain list views side by side in a scroll area, shown without models.
struct PlainWindow
{
    QWidget window;
    QScrollArea* scrollArea;
    QList<QListView*> views;

    PlainWindow()
    {
        window.resize(windowSize);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        scrollArea = new QScrollArea(&window);
        scrollArea->setWidgetResizable(true);
        scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        auto* row = new QWidget;
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(26, 0, 26, 0);
        rowLayout->setSpacing(26);
        for (int c = 0; c < columnCount; ++c) {
            auto* view = new QListView(row);
            view->setFixedWidth(columnWidth);
            view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
            rowLayout->addWidget(view);
            views.append(view);
        }
        scrollArea->setWidget(row);
        layout->addWidget(scrollArea);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("bench_board: the window was not shown");
        BenchBoardWindow::settle();
    }
    void setRows(int rowsPerColumn)
    {
        QStringList rows;
        for (int i = 0; i < rowsPerColumn; ++i)
            rows.append(QStringLiteral("Card %1 with a line of text").arg(i));
        for (QListView* view : std::as_const(views))
            view->setModel(new QStringListModel(rows, view));
    }
    QList<QWidget*> visibleViewports() const
    {
        QList<QWidget*> viewports;
        for (QListView* view : views) {
            if (!view->viewport()->visibleRegion().isEmpty())
                viewports.append(view->viewport());
        }
        return viewports;
    }
};

// The median time of one full repaint of the visible columns after each scroll step: every
// visible card table repaints its viewport, as scrolling makes it do, in one paint pass of the
// window.
template <class Viewports, class Scroll>
double repaintAfterScrolling(const Viewports& viewports, const Scroll& scroll)
{
    std::vector<double> times;
    for (int s = 1; s <= 8; ++s) {
        scroll(s);
        QCoreApplication::processEvents();
        const QList<QWidget*> visible = viewports();
        PaintCounter painted(visible);
        QElapsedTimer timer;
        timer.start();
        for (QWidget* viewport : visible)
            viewport->update();
        while (!painted.allPainted())
            QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// The median time of scrolling one column by `step` and repainting it in full: what a frame
// of scrolling costs, the layout of cards coming into view included.
double scrollAndRepaintOneColumn(const QList<QAbstractItemView*>& views, int step)
{
    std::vector<double> times;
    for (int s = 1; s <= 8; ++s) {
        for (QAbstractItemView* view : views) {
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

void scrollDown(const QList<QAbstractItemView*>& views, int step)
{
    for (QAbstractItemView* view : views)
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + step);
}

// Scrolls sideways by a column, back and forth.
void scrollSideways(QScrollArea* area, int s)
{
    QScrollBar* bar = area->horizontalScrollBar();
    const int stride = columnWidth + KanbanCollectionViewFlowLayout::gap;
    bar->setValue(s % 2 ? bar->value() + stride : bar->value() - stride / 2);
}

// Each board is opened once, as stored: its notes are decoded and its photos read only then.
void benchmarkPictures(ObjectContext* context)
{
    double times[2] = {};
    for (const bool pictured : {false, true}) {
        Kanban* board = boardTitled(context, pictured ? QStringLiteral("Pictured")
                                                      : QStringLiteral("Unpictured"));
        if (!board)
            qFatal("bench_board: the picture boards are missing");
        BenchBoardWindow shown;
        QElapsedTimer timer;
        timer.start();
        shown.board->setKanban(board);
        waitForPaint(shown.visibleViewports());
        BenchBoardWindow::settle();
        times[pictured] = double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("  pictures:  %.1f ms to open a board of %d cards with a photo each (%.1f ms "
                "without the photos): ratio %.2f (goal <= 2)\n",
                times[1], picturedCards, times[0], times[1] / times[0]);
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
        PlainWindow warmUp;
        warmUp.setRows(20);
        waitForPaint(warmUp.visibleViewports());
        QTextDocument document;
        document.setHtml(QStringLiteral("<b>Warm</b> up"));
        document.size();
        BenchBoardWindow warmBoard;
    }
    PlainWindow plain;
    QElapsedTimer plainTimer;
    plainTimer.start();
    plain.setRows(cards / columnCount);
    waitForPaint(plain.visibleViewports());
    BenchBoardWindow::settle();
    const double plainOpen = double(plainTimer.nsecsElapsed()) / 1e6;

    BenchBoardWindow shown;
    const qint64 memoryBefore = residentKilobytes();
    const qint64 layoutsBefore = ListItemCellView::layoutCount();
    QElapsedTimer openTimer;
    openTimer.start();
    shown.board->setKanban(board);
    waitForPaint(shown.visibleViewports());
    // Layouts corrected after the first paint belong to opening too.
    BenchBoardWindow::settle();
    const double open = double(openTimer.nsecsElapsed()) / 1e6;
    const qint64 memoryAfter = residentKilobytes();
    std::printf("  open:      %.1f ms (plain lists %.1f ms, ratio %.2f); %lld card layouts\n", open,
                plainOpen, open / plainOpen,
                qlonglong(ListItemCellView::layoutCount() - layoutsBefore));
    std::printf("  memory:    the open board adds %.1f MB\n",
                double(memoryAfter - memoryBefore) / 1024.0);

    QList<QAbstractItemView*> plainViews;
    for (QListView* view : std::as_const(plain.views))
        plainViews.append(view);
    const QList<QAbstractItemView*> cardViews = shown.tables();
    const int screen = windowSize.height();
    const auto boardViewports = [&shown] { return shown.visibleViewports(); };
    const auto plainViewports = [&plain] { return plain.visibleViewports(); };
    const double down =
        repaintAfterScrolling(boardViewports, [&](int) { scrollDown(cardViews, screen); });
    const double plainDown =
        repaintAfterScrolling(plainViewports, [&](int) { scrollDown(plainViews, screen); });
    std::printf("  repaint:   %.2f ms for the %d x %d board after scrolling the columns down a "
                "screen (plain lists %.2f ms, ratio %.2f)\n",
                down, windowSize.width(), windowSize.height(), plainDown, down / plainDown);
    const double sideways = repaintAfterScrolling(
        boardViewports, [&](int s) { scrollSideways(shown.board->scrollView(), s); });
    const double plainSideways =
        repaintAfterScrolling(plainViewports, [&](int s) { scrollSideways(plain.scrollArea, s); });
    std::printf("  repaint:   %.2f ms after scrolling the board sideways by a column (plain lists "
                "%.2f ms, ratio %.2f)\n",
                sideways, plainSideways, sideways / plainSideways);

    for (const int step : {screen, 60}) {
        const double column = scrollAndRepaintOneColumn(cardViews, step);
        const double plainColumn = scrollAndRepaintOneColumn(plainViews, step);
        std::printf("  repaint:   %.2f ms to scroll one column of %d x %d by %d px and repaint it "
                    "(plain list %.2f ms, ratio %.2f)\n",
                    column, columnWidth, windowSize.height(), step, plainColumn,
                    column / plainColumn);
    }

    // Typing into a card of the first column.
    shown.board->scrollView()->horizontalScrollBar()->setValue(0);
    KanbanColumnTableView* view = shown.board->itemAt(0)->tableView();
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
        BenchBoardWindow::settle();
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

    // Ticking a painted checklist box of the first card, with no editor open.
    view->closeOpenEditor();
    auto* column = static_cast<KanbanColumnTableView*>(view)->controller();
    ListItem* ticked = column->listItems().at(0);
    RichText list(QStringLiteral("Errands\n"), NoteStyle::attributes(NoteStyle::Title));
    list.append(
        RichText(QStringLiteral("post\nbank"), NoteStyle::attributes(NoteStyle::Checklist)));
    ticked->setAttributedNotes(list);
    ticked->setNotesExpanded(true);
    column->refreshItem(ticked);
    BenchBoardWindow::settle();
    const QRect row = view->visualRect(column->tableModel()->indexForItem(ticked));
    QTextDocument* document = column->cellView()->documentFor(ticked);
    const QPoint box =
        column->cellView()->geometryFor(ticked, row).notes.topLeft() +
        QPoint(int(NoteFormat::notePadding), int(NoteFormat::verticalInset)) +
        NotesDocument::checkBoxRect(document, document->findBlockByNumber(1)).center().toPoint();
    std::vector<double> ticks;
    std::vector<double> tickLayouts;
    QRegion repainted;
    for (int i = 0; i < 10; ++i) {
        PaintRegions regions(view->viewport());
        const qint64 before = ListItemCellView::layoutCount();
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box);
        while (regions.region().isEmpty())
            QCoreApplication::processEvents();
        BenchBoardWindow::settle();
        ticks.push_back(double(timer.nsecsElapsed()) / 1e6);
        tickLayouts.push_back(double(ListItemCellView::layoutCount() - before));
        repainted += regions.region();
    }
    const int cardsRepainted = int(std::count_if(
        column->listItems().cbegin(), column->listItems().cend(), [&](ListItem* card) {
            return repainted.intersects(
                view->visualRect(column->tableModel()->indexForItem(card)).adjusted(0, 1, 0, -1));
        }));
    std::printf("  tick:      %.2f ms from a click on a painted box to the repainted frame "
                "(median of 10); %.0f card layout(s) and %d card(s) repainted\n",
                median(ticks), median(tickLayouts), cardsRepainted);
    benchmarkPictures(context);
    return 0;
}

void saveShot(QWidget& window, const QString& directory, const QString& name)
{
    BenchBoardWindow::settle();
    // Let animations (the archive bar, cells gliding into place) finish.
    QTest::qWait(400);
    window.grab().save(directory + QLatin1Char('/') + name);
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
    QDir().mkpath(directory);

    QWidget window;
    window.resize(1200, 760);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* board = new KanbanViewController(&window);
    layout->addWidget(board);
    QObject::connect(board, &KanbanViewController::windowTitleTextChanged, &window,
                     &QWidget::setWindowTitle);
    board->setKanban(largestBoard(context));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("bench_board: the window was not shown");
    saveShot(window, directory, QStringLiteral("board.png"));

    // The second column selected, a long title fitted, a new column being named.
    board->itemAt(0)->changeColumnTitleWithNewTitle(
        QStringLiteral("A column with a long title that has to shrink"));
    board->addColumnWithItem(board->columns().at(1), true);
    DelaySelectionTextField* newTitle = board->itemAt(2)->columnTitle();
    QTest::keyClicks(newTitle, QStringLiteral("Doing"));
    board->setSelectedColumnIndexes({1});
    board->scrollView()->horizontalScrollBar()->setValue(0);
    saveShot(window, directory, QStringLiteral("board-selected.png"));
    QTest::keyClick(newTitle, Qt::Key_Return);

    // Column 0 dragged over the gap before column 3.
    board->clearColumnSelection();
    board->beginColumnDrag({0});
    board->updateColumnDropPreview(3);
    saveShot(window, directory, QStringLiteral("board-drag.png"));
    board->endColumnDrag();

    // A selected card, another being edited, and a card drag hovering over the second column.
    board->clearColumnSelection();
    KanbanColumnTableView* first = board->itemAt(0)->tableView();
    KanbanColumnTableView* second = board->itemAt(1)->tableView();
    first->selectionModel()->select(first->model()->index(2, 0),
                                    QItemSelectionModel::ClearAndSelect);
    const QModelIndex editing = first->model()->index(1, 0);
    first->edit(editing);
    if (auto* editor = qobject_cast<CardEditor*>(first->indexWidget(editing)))
        editor->focusNotesAtEnd();
    std::unique_ptr<QMimeData> drag = first->prepareDrag({2});
    const QPoint over = second->visualRect(second->model()->index(2, 0)).topLeft() + QPoint(40, 8);
    QDragEnterEvent enter(over, Qt::MoveAction, drag.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(second->viewport(), &enter);
    QDragMoveEvent hover(over, Qt::MoveAction, drag.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(second->viewport(), &hover);
    saveShot(window, directory, QStringLiteral("board-editing-dragging.png"));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(second->viewport(), &leave);
    first->closeOpenEditor();

    // The archived-cards view with its bar, after archiving the done cards.
    for (KanbanColumn* column : board->columns()) {
        for (ListItem* item : column->item())
            item->setArchived(item->isDone());
    }
    delegate.save();
    Defaults::standard().setValue(Defaults::listViewMode, 2);
    board->viewModeChanged();
    saveShot(window, directory, QStringLiteral("board-archived.png"));
    // The archived cards below the active ones.
    Defaults::standard().setValue(Defaults::listViewMode, 1);
    board->viewModeChanged();
    saveShot(window, directory, QStringLiteral("board-with-archive.png"));
    Defaults::standard().setValue(Defaults::listViewMode, 0);
    board->viewModeChanged();

    // A board without columns.
    auto* empty = context->insert<Kanban>();
    empty->setTitle(QStringLiteral("Empty"));
    board->setKanban(empty);
    saveShot(window, directory, QStringLiteral("board-empty.png"));
    std::printf("screenshots in %s\n", qPrintable(directory));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const BenchHome home;
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype screenshots = arguments.indexOf(QStringLiteral("--screenshots"));
    if (screenshots > 0 && screenshots + 1 < arguments.size())
        return takeScreenshots(arguments.at(screenshots + 1));
    return runBenchmarks();
}
