#pragma once

#include <QStringList>
#include <QWidget>

class Defaults;
class QComboBox;
class QTimeEdit;

// The due-date preferences: the default due time and what counts as due soon. Each change is
// written to the user defaults at once.
class DueDatePrefViewController final : public QWidget
{
    Q_OBJECT

public:
    explicit DueDatePrefViewController(Defaults& defaults, QWidget* parent = nullptr);

    // Shows the stored values (run once when built; again to re-read the defaults).
    void setup();
    // Stores the time picker's hour and minute under "dueHour" and "dueMinute".
    void timeChanged();
    // Stores the chosen definition under "dueSoonDefinition" and posts
    // "dueSoonDefinitionChanged" so due counts are recomputed.
    void definitionChanged();

    // The titles of the due-soon definitions, in raw-value order.
    static QStringList definitionTitles();

    QTimeEdit* dueTimePicker() const { return m_dueTimePicker; }
    QComboBox* dueSoonPopUpButton() const { return m_dueSoonPopUpButton; }

private:
    Defaults& m_defaults;
    QTimeEdit* m_dueTimePicker = nullptr;
    QComboBox* m_dueSoonPopUpButton = nullptr;
};
