#pragma once

#include <QMessageBox>
#include <QString>

// The application's alerts. Tests answer them ahead of time instead of clicking real dialogs.
class MessageBox final
{
public:
    struct Alert
    {
        QString text;
        QString informativeText;
        QStringList buttons;
    };

    // Shows an error alert with a single OK button.
    static void critical(QWidget* parent, const QString& text, const QString& informativeText);
    // Shows a warning with the given buttons, the first being the default; returns the
    // index of the button chosen (-1 when dismissed).
    static int question(QWidget* parent, const QString& text, const QString& informativeText,
                        const QStringList& buttons);

    // Test hooks: once a test has called either, no dialog is shown any more; alerts are
    // recorded and answered from the queue, or with their first button.
    static void setNextAnswer(int buttonIndex);
    static QList<Alert> takeShownAlerts();
};
