// Pasting 10,000 lines into a card being edited on a board column, as plain text and as the
// editor's own rich text, through the window's Paste key: the longest single event the
// application handled from the key press until the paste is all in, saved and painted. The
// window responds when no event takes over 100 ms. The baseline is one plain layout of the same
// lines in a QTextDocument at the card's width, in the same run.
#include "BenchHome.h"
#include "board/CardTableModel.h"
#include "board/KanbanColumnListViewController.h"
#include "board/KanbanColumnTableView.h"
#include "cards/CardEditor.h"
#include "interchange/JSONWriter.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Root.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCborValue>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int lineCount = 10000;

// Times every event the application delivers from the event loop (not those sent from inside
// another event's handling), keeping the longest.
class TimingApplication final : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (m_depth > 0)
            return QApplication::notify(receiver, event);
        ++m_depth;
        // Read before the event: handling it may delete the receiver.
        const char* receiverClass = receiver->metaObject()->className();
        QElapsedTimer timer;
        timer.start();
        const bool result = QApplication::notify(receiver, event);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        --m_depth;
        if (ms > m_longest) {
            m_longest = ms;
            m_longestType = event->type();
            m_longestReceiver = receiverClass;
        }
        return result;
    }
    void reset()
    {
        m_longest = 0;
        m_longestType = QEvent::None;
        m_longestReceiver = "";
    }
    double longest() const { return m_longest; }
    int longestType() const { return int(m_longestType); }
    const char* longestReceiver() const { return m_longestReceiver; }

private:
    int m_depth = 0;
    double m_longest = 0;
    QEvent::Type m_longestType = QEvent::None;
    const char* m_longestReceiver = "";
};

RichText lines()
{
    RichText text;
    for (int i = 0; i < lineCount; ++i) {
        const auto kind = i % 3 == 0 ? NoteStyle::Checklist : NoteStyle::Body;
        text.append(RichText(QStringLiteral("Pasted line %1 with a few words on it").arg(i) +
                                 (i + 1 < lineCount ? QStringLiteral("\n") : QString()),
                             NoteStyle::attributes(kind)));
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const BenchHome home;
    TimingApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    AppDelegate delegate;
    if (!delegate.launch())
        return 1;
    ObjectContext* context = delegate.managedObjectContext();
    auto* root = context->insert<Root>();
    auto* board = context->insert<Kanban>();
    board->setTitle(QStringLiteral("Board"));
    root->insertChild(board);
    auto* column = context->insert<KanbanColumn>();
    board->insertColumn(column);
    auto* item = context->insert<ListItem>();
    item->setTitle(QStringLiteral("Card"));
    item->setAttributedNotes(
        RichText(QStringLiteral("Card"), NoteStyle::attributes(NoteStyle::Title)));
    item->setNotesExpanded(true);
    column->insertItem(item);
    delegate.save();

    QWidget window;
    window.resize(400, 900);
    auto* layout = new QVBoxLayout(&window);
    auto* list = new KanbanColumnListViewController(&window);
    layout->addWidget(list->tableView());
    list->setColumn(column);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("bench_paste: the window was not shown");
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();

    const RichText pasted = lines();
    QTextDocument plain;
    plain.setPlainText(pasted.text());
    plain.setTextWidth(list->tableView()->viewport()->width() - 40);
    QElapsedTimer timer;
    timer.start();
    plain.documentLayout()->documentSize();
    const double baseline = double(timer.nsecsElapsed()) / 1e6;
    std::printf("paste benchmark: %d lines (%lld characters) into a board card\n", lineCount,
                qlonglong(pasted.length()));
    std::printf("  baseline:  %.1f ms for one plain layout of the lines\n", baseline);

    // Plain text and the editor's own type from another program, then the own type copied
    // in this editor (which needs no decoding).
    enum class Source
    {
        Plain,
        OtherProgram,
        CopiedHere
    };
    for (const Source source : {Source::Plain, Source::OtherProgram, Source::CopiedHere}) {
        list->columnTableView()->openEditorFor(item);
        const QModelIndex index = list->tableModel()->indexForItem(item);
        auto* editor = qobject_cast<CardEditor*>(list->columnTableView()->indexWidget(index));
        if (!editor)
            qFatal("bench_paste: no card editor opened");
        NotesTextView* notes = editor->notesTextView();
        if (source != Source::CopiedHere) {
            auto* data = new QMimeData;
            data->setText(pasted.text());
            if (source == Source::OtherProgram)
                data->setData(
                    NotesTextView::corklineAttributedString(),
                    QCborValue::fromJsonValue(JSONWriter::dictionaryRepresentation(pasted))
                        .toCbor());
            QApplication::clipboard()->setMimeData(data);
        }
        notes->moveCursor(QTextCursor::End);
        QCoreApplication::processEvents();

        application.reset();
        timer.restart();
        QTest::keyClick(notes, Qt::Key_V, Qt::ControlModifier);
        const double keyPress = application.longest();
        // Until the paste is all in, saved and painted.
        while (timer.elapsed() < 2500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const int blocks = notes->document()->blockCount();
        static const char* const names[] = {"plain text          ", "own type, elsewhere ",
                                            "own type, copied here"};
        std::printf("  %s: the paste key took %.1f ms; the longest event %.1f ms (type %d, "
                    "to %s, ratio %.2f); %d lines, undo step \"%s\"\n",
                    names[int(source)], keyPress, std::max(keyPress, application.longest()),
                    application.longestType(), application.longestReceiver(),
                    std::max(keyPress, application.longest()) / baseline, blocks,
                    qPrintable(delegate.undoManager()->undoText()));
        if (source == Source::OtherProgram) {
            notes->selectAll();
            QTest::keyClick(notes, Qt::Key_C, Qt::ControlModifier);
        }
        delegate.undoManager()->undo();
        QCoreApplication::processEvents();
    }
    return 0;
}
