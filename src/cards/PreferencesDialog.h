#pragma once

#include <QDialog>

class Defaults;
class DueDatePrefViewController;

// The application's preferences window: not modal, and only ever one of it.
class PreferencesDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDialog(Defaults& defaults, QWidget* parent = nullptr);

    // Shows the one preferences window (creating it when needed) and brings it to the front.
    static PreferencesDialog* showPreferences(QWidget* parent = nullptr);

    DueDatePrefViewController* dueDatePreferences() const { return m_dueDatePreferences; }

private:
    DueDatePrefViewController* m_dueDatePreferences = nullptr;
};
