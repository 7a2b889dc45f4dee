// Notes editor benchmark: a style change over the whole of a 2,000-line card being edited, and
// its undo on the window's stack, each until the editor has painted again, against one plain
// relayout of that card's text at the same width, in the same run. A frame is 16 ms.
#include "BenchHome.h"
#include "board/CardTableModel.h"
#include "board/ListViewController.h"
#include "cards/CardEditor.h"
#include "cards/ListTabViewController.h"
#include "cards/PlainListTableView.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Root.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int lineCount = 2000;
constexpr int rounds = 7;

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A heading, then body lines and checklist lines, some ticked.
RichText longNotes()
{
    RichText text(QStringLiteral("A long card\n"), NoteStyle::attributes(NoteStyle::Title));
    for (int i = 1; i < lineCount; ++i) {
        RichText::Attributes line =
            NoteStyle::attributes(i % 3 ? NoteStyle::Checklist : NoteStyle::Body);
        if (i % 6 == 1)
            line.checklistChecked = true;
        text.append(RichText(QStringLiteral("Line %1 of the card, long enough to wrap now and "
                                            "then in a card of the usual width")
                                     .arg(i) +
                                 (i + 1 < lineCount ? QStringLiteral("\n") : QString()),
                             line));
    }
    return text;
}

// Milliseconds from running `change` until the editor has painted again.
template <class Change>
double timeUntilPainted(NotesTextView* notes, const Change& change)
{
    PaintWaiter waiter(notes->viewport());
    QElapsedTimer timer;
    timer.start();
    change();
    while (!waiter.painted())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(timer.nsecsElapsed()) / 1e6;
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
    list->setTitle(QStringLiteral("Notes"));
    root->insertChild(list);
    auto* item = context->insert<ListItem>();
    item->setTitle(QStringLiteral("Long card"));
    item->setAttributedNotes(longNotes());
    item->setNotesExpanded(true);
    list->setItem({item});
    delegate.save();

    QWidget window;
    window.resize(1200, 900);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new ListTabViewController(&window);
    layout->addWidget(view);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("bench_notes: the window was not shown");
    QApplication::setActiveWindow(&window);
    view->setList(list);
    QCoreApplication::processEvents();
    view->tableView()->openEditorFor(item);
    const QModelIndex index =
        view->tableView()->listViewController()->tableModel()->indexForItem(item);
    auto* editor = qobject_cast<CardEditor*>(view->tableView()->indexWidget(index));
    if (!editor)
        qFatal("bench_notes: no card editor opened");
    NotesTextView* notes = editor->notesTextView();
    QCoreApplication::processEvents();
    std::printf("notes benchmark: a card of %d lines (%d characters), editor %d px wide\n",
                notes->document()->blockCount(), notes->document()->characterCount(),
                notes->viewport()->width());

    std::vector<double> relayouts;
    std::vector<double> changes;
    std::vector<double> undos;
    QUndoStack* stack = delegate.undoManager();
    for (int round = 0; round <= rounds; ++round) {
        const std::unique_ptr<QTextDocument> copy(notes->document()->clone());
        copy->setTextWidth(notes->document()->textWidth());
        copy->documentLayout()->documentSize();
        QElapsedTimer timer;
        timer.start();
        copy->markContentsDirty(0, copy->characterCount());
        copy->documentLayout()->documentSize();
        const double relayout = double(timer.nsecsElapsed()) / 1e6;

        notes->selectAll();
        const double change = timeUntilPainted(notes, [notes, round] {
            round % 2 ? notes->formatSelectionAsBody() : notes->formatSelectionAsHeader();
        });
        if (stack->undoText() != QStringLiteral("Style Change"))
            qFatal("bench_notes: the style change left no step");
        const double undo = timeUntilPainted(notes, [stack] { stack->undo(); });
        // The first round only warms up.
        if (round > 0) {
            relayouts.push_back(relayout);
            changes.push_back(change);
            undos.push_back(undo);
        }
    }
    const double relayout = median(relayouts);
    std::printf("  relayout:  %.2f ms for one plain layout of the whole card (median of %d)\n",
                relayout, rounds);
    std::printf("  style:     %.2f ms to restyle every line until painted (ratio %.2f)\n",
                median(changes), median(changes) / relayout);
    std::printf("  undo:      %.2f ms to undo that until painted (ratio %.2f)\n", median(undos),
                median(undos) / relayout);
    return 0;
}
