#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and the XDG folders at a fresh temporary folder for the life of the object, so
// that a test never reads or writes the user's own data or settings. Create it before the
// QCoreApplication.
class IsolatedEnvironment final
{
public:
    IsolatedEnvironment();
    Q_DISABLE_COPY_MOVE(IsolatedEnvironment)

    QString home() const { return m_dir.path(); }
    QString dataHome() const;   // XDG_DATA_HOME
    QString configHome() const; // XDG_CONFIG_HOME

private:
    QTemporaryDir m_dir;
};

// Like QTEST_MAIN / QTEST_GUILESS_MAIN, inside an isolated environment.
#define PINWHEELS_TEST_MAIN_WITH(TestObject, Application)                                          \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        IsolatedEnvironment environment;                                                           \
        Application app(argc, argv);                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

#define PINWHEELS_GUILESS_TEST_MAIN(TestObject)                                                    \
    PINWHEELS_TEST_MAIN_WITH(TestObject, QCoreApplication)
#define PINWHEELS_GUI_TEST_MAIN(TestObject) PINWHEELS_TEST_MAIN_WITH(TestObject, QApplication)
