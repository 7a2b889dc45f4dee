#pragma once

#include <QMainWindow>

class AppDelegate;

// The application's one window.
class MainWindowController final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindowController(AppDelegate* appDelegate, QWidget* parent = nullptr);

    // First launch: at most 1200 × 720, centred on the screen.
    void setInitialWindowSize();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void restoreFrame();

    AppDelegate* m_appDelegate;
};
