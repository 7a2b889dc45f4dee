#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QDateTime>

#include <optional>

// The due-date button of a card: the relative date text in a coloured pill, or the calendar
// picture when the card has no due date. The card cell sets the colour and opens the picker
// when the button is clicked.
class DateDisplayButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit DateDisplayButton(QWidget* parent = nullptr);

    std::optional<QDateTime> dateValue() const { return m_dateValue; }
    // An invalid date counts as none. Redraws at once.
    void setDateValue(const std::optional<QDateTime>& date);
    // Recomputes the title from dateValue; the relative words change as the clock moves on.
    void displayDate();

    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QDateTime> m_dateValue;
    QColor m_backgroundColour;
};
