#include "MaintenanceMenuController.h"

#include "MaintenanceCommand.h"
#include "store/AppDelegate.h"
#include "store/DataUpgrades.h"
#include "widgets/MessageBox.h"

#include <QMenu>
#include <QUndoStack>

MaintenanceMenuController::MaintenanceMenuController(QWidget* window, AppDelegate* appDelegate,
                                                     std::function<void()> beforeChange,
                                                     std::function<void()> changed)
    : QObject(window)
    , m_window(window)
    , m_appDelegate(appDelegate)
    , m_beforeChange(std::move(beforeChange))
    , m_changed(std::move(changed))
    , m_menu(new QMenu(tr("&Maintenance"), window))
{
    addRoutine({tr("Update Note Styles"), &DataUpgrades::updateNotesTextStyle,
                [](qsizetype n) {
                    return n == 1 ? tr("Update the note styles of 1 card?")
                                  : tr("Update the note styles of %1 cards?").arg(n);
                },
                tr("Titles, headers, body text and checklist lines written by earlier versions "
                   "take the look they have now. The words and the ticks do not change."),
                tr("Update")});
    addRoutine({tr("Strike Through Done Cards"), &DataUpgrades::applyStrikeThroughForArchivedItems,
                [](qsizetype n) {
                    return n == 1 ? tr("Strike through the notes of 1 done card?")
                                  : tr("Strike through the notes of %1 done cards?").arg(n);
                },
                tr("The whole notes of every card marked done, archived or not, are struck "
                   "through. Strike-through is only added, never taken away."),
                tr("Strike Through")});
    addRoutine({tr("Mark Archived Cards as Done"), &DataUpgrades::markArchivedItemsAsDone,
                [](qsizetype n) {
                    return n == 1 ? tr("Mark 1 archived card as done?")
                                  : tr("Mark %1 archived cards as done?").arg(n);
                },
                tr("Archived cards that are not marked done are marked done. They stay archived."),
                tr("Mark as Done")});
    addRoutine({tr("Reset Tag Colours"), &DataUpgrades::assignColoursToTags,
                [](qsizetype n) {
                    return n == 1 ? tr("Give 1 tag a new colour?")
                                  : tr("Give %1 tags a new colour?").arg(n);
                },
                tr("On every board the first tag gets the first colour of the palette, the "
                   "second tag the second, and so on. A board's eighth tag and the ones after "
                   "it are shown in the first colour."),
                tr("Reset Colours")});
    addRoutine({tr("Copy Titles into Notes"), &DataUpgrades::mergeTitleAndNotes,
                [](qsizetype n) {
                    return n == 1
                               ? tr("Put the title of 1 card at the top of its notes?")
                               : tr("Put the titles of %1 cards at the top of their notes?").arg(n);
                },
                tr("Each card's title is added as a title line in front of its notes. Doing it "
                   "again adds the title again."),
                tr("Copy Titles")});
    m_menu->addSeparator();
    addRoutine(
        {tr("Find Lost Cards"),
         [](ObjectContext& context) { return DataUpgrades::attachOrphanedListItems(context); },
         [](qsizetype n) {
             return n == 1 ? tr("Put 1 card without a column on a board?")
                           : tr("Put %1 cards without a column on a board?").arg(n);
         },
         tr("A card that has a tag goes to the end of the first column of its first "
            "tag's board. A card on no board and no list goes to the column \"%1\" of "
            "the board \"%2\" at the top level of the sidebar.")
             .arg(QLatin1String(DataChanges::recoveredColumnTitle),
                  QLatin1String(DataChanges::recoveredBoardTitle)),
         tr("Put on Board")});
}

void MaintenanceMenuController::addRoutine(const Routine& routine)
{
    QAction* action = m_menu->addAction(routine.title + QStringLiteral("…"));
    connect(action, &QAction::triggered, this, [this, routine] { run(routine); });
}

void MaintenanceMenuController::run(const Routine& routine)
{
    ObjectContext* context = m_appDelegate->managedObjectContext();
    if (!context)
        return;
    if (m_beforeChange)
        m_beforeChange();
    DataChanges changes = routine.plan(*context);
    if (changes.isEmpty()) {
        MessageBox::question(m_window, tr("Nothing needs to change."), routine.explanation,
                             {tr("OK")});
        return;
    }
    const int answer = MessageBox::question(m_window, routine.question(changes.size()),
                                            routine.explanation, {routine.button, tr("Cancel")});
    if (answer != 0)
        return;
    m_appDelegate->undoManager()->push(
        new MaintenanceCommand(routine.title, std::move(changes), m_changed));
}
