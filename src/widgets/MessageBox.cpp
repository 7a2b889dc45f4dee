#include "MessageBox.h"

#include <QPushButton>

namespace {
QList<int> queuedAnswers;
QList<MessageBox::Alert> shownAlerts;
bool recording = false;

int show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
         const QString& informativeText, const QStringList& buttons)
{
    if (recording) {
        // Under test no dialog ever blocks: unanswered alerts take their first button.
        shownAlerts.append({text, informativeText, buttons});
        return queuedAnswers.isEmpty() ? 0 : queuedAnswers.takeFirst();
    }

    QMessageBox box(icon, QString(), text, QMessageBox::NoButton, parent);
    box.setInformativeText(informativeText);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QList<QAbstractButton*> added;
    for (const QString& title : buttons) {
        const auto role = added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        added.append(box.addButton(title, role));
    }
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    return added.indexOf(box.clickedButton());
}
} // namespace

void MessageBox::critical(QWidget* parent, const QString& text, const QString& informativeText)
{
    show(parent, QMessageBox::Critical, text, informativeText, {QMessageBox::tr("OK")});
}

int MessageBox::question(QWidget* parent, const QString& text, const QString& informativeText,
                         const QStringList& buttons)
{
    return show(parent, QMessageBox::Warning, text, informativeText, buttons);
}

void MessageBox::setNextAnswer(int buttonIndex)
{
    recording = true;
    queuedAnswers.append(buttonIndex);
}

QList<MessageBox::Alert> MessageBox::takeShownAlerts()
{
    recording = true;
    return std::exchange(shownAlerts, {});
}
