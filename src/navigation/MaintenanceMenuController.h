#pragma once

#include "store/DataChanges.h"

#include <QObject>

#include <functional>

class AppDelegate;
class QMenu;
class QWidget;

// The Maintenance menu: the data upgrades and repairs a user may run on request. Each asks
// first, saying what will change, and is one undo step named after it.
class MaintenanceMenuController final : public QObject
{
    Q_OBJECT

public:
    // `window` parents the alerts; `beforeChange` ends editing, `changed` shows the result.
    MaintenanceMenuController(QWidget* window, AppDelegate* appDelegate,
                              std::function<void()> beforeChange, std::function<void()> changed);

    QMenu* menu() const { return m_menu; }

private:
    struct Routine
    {
        QString title;                                   // the menu item, without the ellipsis
        std::function<DataChanges(ObjectContext&)> plan; // what it would change
        std::function<QString(qsizetype)> question;      // asked with the number of changes
        QString explanation;                             // what a run does, in detail
        QString button;                                  // the button that runs it
    };

    void addRoutine(const Routine& routine);
    void run(const Routine& routine);

    QWidget* m_window;
    AppDelegate* m_appDelegate;
    std::function<void()> m_beforeChange;
    std::function<void()> m_changed;
    QMenu* m_menu;
};
