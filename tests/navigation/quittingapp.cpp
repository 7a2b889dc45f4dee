// The application started as app/main.cpp starts it, with the first card of the board shown
// being edited: words typed into its notes and a tag typed but not yet entered. Prints
// "editing" once that is so, then runs the event loop until a quit. Driven by tst_quitsignals.

#include "board/KanbanColumnTableView.h"
#include "cards/CardEditor.h"
#include "navigation/MainWindowController.h"
#include "notes/NotesTextView.h"
#include "store/AppDelegate.h"
#include "store/QuitSignalWatcher.h"
#include "tags/TagsTextField.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

namespace {

bool startEditing(MainWindowController& window)
{
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    // The board fills its columns from the event loop.
    KanbanColumnTableView* column = nullptr;
    const bool filled = QTest::qWaitFor([&] {
        column = window.findChild<KanbanColumnTableView*>();
        return column && column->isVisible() && column->model()->rowCount() > 1;
    });
    if (!filled)
        return false;
    const QModelIndex first = column->model()->index(1, 0); // below the spacer row
    column->edit(first);
    auto* editor = qobject_cast<CardEditor*>(column->indexWidget(first));
    if (!editor)
        return false;
    editor->focusNotesAtEnd();
    QTest::keyClicks(editor->notesTextView(), QStringLiteral(" typed before the signal"));
    editor->focusTags();
    QTest::keyClicks(editor->tokenFieldForTags()->lineEdit(), QStringLiteral("pending"));
    return editor->tokenFieldForTags()->lineEdit()->hasFocus();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QuitSignalWatcher quitSignals;
    AppDelegate appDelegate;
    if (!appDelegate.launch())
        return EXIT_FAILURE;
    MainWindowController window(&appDelegate);
    QObject::connect(&quitSignals, &QuitSignalWatcher::quitRequested, &window,
                     &MainWindowController::quit);
    window.show();
    if (!startEditing(window)) {
        std::fputs("quittingapp: could not start editing a card\n", stderr);
        return 3;
    }
    std::puts("editing");
    std::fflush(stdout);
    return QApplication::exec();
}
