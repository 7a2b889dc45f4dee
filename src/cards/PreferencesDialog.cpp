#include "PreferencesDialog.h"

#include "DueDatePrefViewController.h"
#include "store/Defaults.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPointer>
#include <QVBoxLayout>

PreferencesDialog::PreferencesDialog(Defaults& defaults, QWidget* parent)
    : QDialog(parent)
    , m_dueDatePreferences(new DueDatePrefViewController(defaults))
{
    setWindowTitle(tr("Preferences"));

    auto* dueDates = new QGroupBox(tr("Due dates"), this);
    auto* groupLayout = new QVBoxLayout(dueDates);
    groupLayout->addWidget(m_dueDatePreferences);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dueDates);
    layout->addStretch(1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PreferencesDialog* PreferencesDialog::showPreferences(QWidget* parent)
{
    static QPointer<PreferencesDialog> instance;
    if (!instance) {
        instance = new PreferencesDialog(Defaults::standard(), parent);
        instance->setAttribute(Qt::WA_DeleteOnClose);
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
    return instance;
}
