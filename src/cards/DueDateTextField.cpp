#include "DueDateTextField.h"

#include "DateText.h"

DueDateTextField::DueDateTextField(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void DueDateTextField::setDateValue(const std::optional<QDateTime>& date)
{
    m_dateValue = date && date->isValid() ? date : std::nullopt;
    displayDate();
}

void DueDateTextField::displayDate()
{
    setText(m_dateValue ? DateText::forDate(*m_dateValue) : QString());
}
