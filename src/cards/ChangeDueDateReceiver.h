#pragma once

#include "DatePickerDelegate.h"

#include <QObject>

class ListItem;

// Takes the dates of a card's date picker while it is open: each one is an undoable
// "Change Due Date" of that card.
class ChangeDueDateReceiver final : public QObject, public DatePickerDelegate
{
    Q_OBJECT

public:
    ChangeDueDateReceiver(ListItem* item, QObject* parent);

    void datePickedWithDate(const std::optional<QDateTime>& date) override;

private:
    ListItem* m_item;
};
