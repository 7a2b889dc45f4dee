#include "DateDisplayButton.h"

#include "DateText.h"
#include "DueDatePill.h"
#include "appearance/Palette.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

DateDisplayButton::DateDisplayButton(QWidget* parent)
    : QAbstractButton(parent)
    , m_backgroundColour(Palette::cardBackgroundColour())
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    displayDate();
}

void DateDisplayButton::setDateValue(const std::optional<QDateTime>& date)
{
    m_dateValue = date && date->isValid() ? date : std::nullopt;
    displayDate();
}

void DateDisplayButton::displayDate()
{
    const QString title = m_dateValue ? DateText::forDate(*m_dateValue) : QString();
    setText(title);
    setAccessibleName(title.isEmpty() ? tr("Set due date") : tr("Due %1").arg(title));
    setToolTip(title.isEmpty() ? tr("Set a due date") : tr("Change the due date"));
    updateGeometry();
    update();
}

void DateDisplayButton::setBackgroundColour(const QColor& colour)
{
    if (colour == m_backgroundColour)
        return;
    m_backgroundColour = colour;
    update();
}

QSize DateDisplayButton::sizeHint() const
{
    return DueDatePill::sizeFor(text());
}

void DateDisplayButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DueDatePill::paint(&painter, rect(), text(), m_backgroundColour, isDown());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = m_backgroundColour;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
