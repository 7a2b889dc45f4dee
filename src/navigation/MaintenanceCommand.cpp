#include "MaintenanceCommand.h"

#include "store/AppDelegate.h"

MaintenanceCommand::MaintenanceCommand(const QString& name, DataChanges changes,
                                       std::function<void()> changed)
    : m_changes(std::move(changes))
    , m_changed(std::move(changed))
{
    setText(name);
}

void MaintenanceCommand::redo()
{
    m_changes.apply();
    finish();
}

void MaintenanceCommand::undo()
{
    m_changes.revert();
    finish();
}

void MaintenanceCommand::finish()
{
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (m_changed)
        m_changed();
}
