#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

class DisplayItem;
class ObjectContext;
class SqliteStore;

// pinwheels-cli: scripted backups, moves and repairs of a Pinwheels data folder without the
// window.
class CommandLineTool final
{
public:
    enum ExitStatus
    {
        Success = 0,
        ProblemsFound = 1,    // `check` found something wrong
        BadUsage = 2,         // bad arguments, or a document that was refused
        StoreUnavailable = 3, // in use by the application, or cannot be opened or written
    };

    CommandLineTool(QTextStream& out, QTextStream& err);
    int run(const QStringList& arguments);

private:
    int runCommand(const QString& command, const QStringList& arguments, const QString& folder);
    // The application holds the folder: reading commands read what it saved last, and an
    // import goes to its window.
    int runBesideApplication(const QString& command, const QStringList& arguments,
                             const QString& folder);
    int tree(ObjectContext& context);
    // `keepMarks`: the export marks the choice sets are saved, as the export sheet saves them.
    int exportDocument(ObjectContext& context, const QString& file, const QStringList& paths,
                       bool keepMarks);
    int importDocument(ObjectContext& context, const QString& file);
    int check(ObjectContext& context, SqliteStore& store);
    // Makes a backup copy, mends what can be mended, saves, and checks the store again.
    int repair(ObjectContext& context, SqliteStore& store, const QString& folder);
    static QStringList problemsOf(const ObjectContext& context, SqliteStore& store);
    void printNode(const DisplayItem* node, int depth);
    int fail(ExitStatus status, const QString& message);
    bool save(ObjectContext& context);

    QTextStream& m_out;
    QTextStream& m_err;
};
