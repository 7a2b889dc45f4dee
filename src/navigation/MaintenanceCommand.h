#pragma once

#include "store/DataChanges.h"

#include <QUndoCommand>

#include <functional>

// One run of a data upgrade or repair chosen from the Maintenance menu, named by it: redo
// makes the recorded changes, undo takes them back; each saves and lets the window show the
// result.
class MaintenanceCommand final : public QUndoCommand
{
public:
    MaintenanceCommand(const QString& name, DataChanges changes, std::function<void()> changed);

    void redo() override;
    void undo() override;

private:
    void finish();

    DataChanges m_changes;
    std::function<void()> m_changed;
};
