#include "DueDatePrefViewController.h"

#include "DateText.h"
#include "DefaultDueDate.h"
#include "store/Defaults.h"
#include "store/NotificationCenter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QTimeEdit>

DueDatePrefViewController::DueDatePrefViewController(Defaults& defaults, QWidget* parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_dueTimePicker(new QTimeEdit(this))
    , m_dueSoonPopUpButton(new QComboBox(this))
{
    m_dueTimePicker->setLocale(DateText::british());
    m_dueTimePicker->setDisplayFormat(QStringLiteral("HH:mm"));
    m_dueTimePicker->setToolTip(tr("The time a new due date starts at"));
    m_dueSoonPopUpButton->addItems(definitionTitles());
    m_dueSoonPopUpButton->setToolTip(tr("Cards due within this time are shown in orange"));

    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addRow(tr("Default due &time:"), m_dueTimePicker);
    layout->addRow(tr("Due &soon means:"), m_dueSoonPopUpButton);

    setup();
    connect(m_dueTimePicker, &QTimeEdit::timeChanged, this,
            &DueDatePrefViewController::timeChanged);
    connect(m_dueSoonPopUpButton, &QComboBox::currentIndexChanged, this,
            &DueDatePrefViewController::definitionChanged);
}

void DueDatePrefViewController::setup()
{
    const QSignalBlocker blockTime(m_dueTimePicker);
    const QSignalBlocker blockDefinition(m_dueSoonPopUpButton);
    m_dueTimePicker->setTime(defaultDueTime(m_defaults));
    m_dueSoonPopUpButton->setCurrentIndex(m_defaults.integer(Defaults::dueSoonDefinition));
}

void DueDatePrefViewController::timeChanged()
{
    const QTime time = m_dueTimePicker->time();
    m_defaults.setValue(Defaults::dueHour, time.hour());
    m_defaults.setValue(Defaults::dueMinute, time.minute());
    m_defaults.synchronize();
}

void DueDatePrefViewController::definitionChanged()
{
    m_defaults.setValue(Defaults::dueSoonDefinition, m_dueSoonPopUpButton->currentIndex());
    m_defaults.synchronize();
    NotificationCenter::defaultCenter().post(QStringLiteral("dueSoonDefinitionChanged"));
}

QStringList DueDatePrefViewController::definitionTitles()
{
    return {
        tr("Due today"),         tr("Due within 40 hours"), tr("Due within 2 days"),
        tr("Due within 3 days"), tr("Due within 4 days"),   tr("Due within 5 days"),
        tr("Due within a week"),
    };
}
