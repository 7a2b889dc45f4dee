#include "CommandLineTool.h"

#include "interchange/FirstRun.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/List.h"
#include "model/Root.h"
#include "store/DataFolder.h"
#include "store/FolderLock.h"
#include "store/GraphCheck.h"
#include "store/InstanceChannel.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"
#include "store/StoreRepair.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// How long an import waits for a starting window to take the document.
constexpr int handOverWaitMilliseconds = 3000;

const char* const description = R"(Reads and changes the boards of a Pinwheels data folder.

Commands:
  tree                       Print the sidebar tree under the root, two spaces of
                             indent per level.
  export FILE [PATH ...]     Write an exchange document of the named items, each
                             with everything below it (paths of /-separated titles
                             from the root, like Work/Plan), or of every folder and
                             board when none is named. The items' export marks are
                             left as that choice sets them.
  import FILE                Import a document into a new "Imported - ..." folder.
  check                      Check the store file and the object graph; print what
                             is wrong, and say when repair can mend it.
  repair                     Mend what check reports where that can be done: cards,
                             columns, boards and folders cut off from the tree are
                             put back (a card by its first tag's board when it has
                             one; what belongs nowhere goes to the column "Recovered
                             cards" of a board "Recovered" at the top level), and
                             damaged links are written again without the damage.
                             A copy of the store as it was is kept beside it first
                             (CocoaAppCD.storedata.repair.backup). Prints each
                             change and what could not be mended.

The data folder is the application's own unless --data-dir names another. A store
that does not exist yet is created as the application would create it.

While Pinwheels has the data folder open, tree, export and check read what it saved
last (export then leaves the export marks as they are), import hands the
document to the Pinwheels window, which asks what to import, and repair is
refused.

Exit status:
  0  success
  1  check found problems
  2  bad usage, a file that cannot be read or written, or a document that was
     refused (the store is left untouched)
  3  the store cannot be opened or written, or the application holds it and
     did not take the document to import or it was asked to repair)";

QStringList allOf(const QStringList& list, qsizetype from)
{
    return from < list.size() ? list.mid(from) : QStringList();
}

void setExportBelow(DisplayItem* node, bool value)
{
    node->setExportFlag(value);
    if (!node->isKindOf(Entity::Kanban)) {
        for (DisplayItem* child : node->children())
            setExportBelow(child, value);
    }
}

DisplayItem* nodeAtPath(Root* root, const QString& path)
{
    DisplayItem* node = root;
    for (const QString& title : path.split(u'/', Qt::SkipEmptyParts)) {
        DisplayItem* next = nullptr;
        for (DisplayItem* child : node->children()) {
            if (!child->isKindOf(Entity::Tag) && child->title() == title) {
                next = child;
                break;
            }
        }
        if (!next)
            return nullptr;
        node = next;
    }
    return node == root ? nullptr : node;
}

} // namespace

CommandLineTool::CommandLineTool(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{}

int CommandLineTool::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"),
                                           QStringLiteral("Use the data folder DIR."),
                                           QStringLiteral("DIR"));
    parser.addOption(helpOption);
    parser.addOption(dataDirOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("tree, export, import, check or repair"));
    if (!parser.parse(arguments))
        return fail(BadUsage, parser.errorText());
    if (parser.isSet(helpOption)) {
        m_out << parser.helpText();
        return Success;
    }

    const QStringList positional = parser.positionalArguments();
    const QString command = positional.value(0);
    const QStringList rest = allOf(positional, 1);
    const bool usable = (command == u"tree" && rest.isEmpty()) ||
                        (command == u"export" && !rest.isEmpty()) ||
                        (command == u"import" && rest.size() == 1) ||
                        ((command == u"check" || command == u"repair") && rest.isEmpty());
    if (!usable)
        return fail(BadUsage,
                    command.isEmpty()
                        ? QStringLiteral("No command given; see --help.")
                        : QStringLiteral("Unknown command or wrong arguments: %1; see --help.")
                              .arg(positional.join(u' ')));
    const QString folder = parser.isSet(dataDirOption)
                               ? QDir(parser.value(dataDirOption)).absolutePath()
                               : DataFolder::resolve();
    return runCommand(command, rest, folder);
}

int CommandLineTool::runCommand(const QString& command, const QStringList& arguments,
                                const QString& folder)
{
    StoreError error;
    if (!DataFolder::ensureExists(folder, &error.reason))
        return fail(StoreUnavailable, error.reason);
    const std::unique_ptr<FolderLock> lock = DataFolder::tryLock(folder);
    if (!lock)
        return runBesideApplication(command, arguments, folder);
    const bool isNew = !QFileInfo::exists(DataFolder::storePath(folder));
    const std::unique_ptr<ObjectContext> context = DataFolder::openStore(folder, &error);
    if (!context)
        return fail(StoreUnavailable, error.underlying.isEmpty() ? error.reason : error.underlying);
    if (isNew) {
        bool saved = true;
        FirstRun::findOrCreateRoot(*context, [&] {
            const bool ok = save(*context);
            saved = saved && ok;
            return ok;
        });
        if (!saved)
            return StoreUnavailable;
    }
    auto* store = static_cast<SqliteStore*>(context->store()); // openStore() made it

    if (command == u"tree")
        return tree(*context);
    if (command == u"export")
        return exportDocument(*context, arguments.first(), allOf(arguments, 1), true);
    if (command == u"import")
        return importDocument(*context, arguments.first());
    const int status =
        command == u"repair" ? repair(*context, *store, folder) : check(*context, *store);
    store->checkpoint();
    return status;
}

int CommandLineTool::runBesideApplication(const QString& command, const QStringList& arguments,
                                          const QString& folder)
{
    if (command == u"import") {
        const QString& file = arguments.first();
        if (!QFileInfo(file).isReadable())
            return fail(BadUsage, QStringLiteral("Cannot read %1.").arg(file));
        if (!InstanceChannel::sendToRunning(folder, {file}, true, handOverWaitMilliseconds))
            return fail(StoreUnavailable,
                        QStringLiteral("The data in %1 is in use by Pinwheels, which did not "
                                       "take the document; quit it first.")
                            .arg(folder));
        m_out << "Pinwheels is running: " << file << " was handed to its window to import.\n";
        return Success;
    }
    if (command == u"repair")
        return fail(
            StoreUnavailable,
            QStringLiteral("The data in %1 is in use by Pinwheels; quit it first.").arg(folder));
    StoreError error;
    const std::unique_ptr<ObjectContext> context = DataFolder::openSnapshot(folder, &error);
    if (!context)
        return fail(StoreUnavailable, error.underlying.isEmpty() ? error.reason : error.underlying);
    if (command == u"tree")
        return tree(*context);
    if (command == u"export")
        return exportDocument(*context, arguments.first(), allOf(arguments, 1), false);
    return check(*context, *static_cast<SqliteStore*>(context->store()));
}

int CommandLineTool::tree(ObjectContext& context)
{
    for (const Root* root : context.fetch<Root>({}, 1)) {
        for (const DisplayItem* child : root->children())
            printNode(child, 0);
    }
    return Success;
}

void CommandLineTool::printNode(const DisplayItem* node, int depth)
{
    const QString indent(depth * 2, u' ');
    if (node->isKindOf(Entity::Kanban)) {
        const auto* board = static_cast<const Kanban*>(node);
        m_out << indent << "Kanban " << board->title() << " [" << board->numberOfNotDone()
              << " not done, " << board->numberOfOverdueCards() << " overdue, "
              << board->numberOfDueSoonCards() << " due soon]\n";
        return;
    }
    if (node->isKindOf(Entity::List)) {
        m_out << indent << "List " << node->title() << " ["
              << static_cast<const List*>(node)->numberOfNonArchived() << "]\n";
    } else if (node->isKindOf(Entity::Folder)) {
        m_out << indent << "Folder " << node->title() << '\n';
    } else {
        return;
    }
    for (const DisplayItem* child : node->children())
        printNode(child, depth + 1);
}

int CommandLineTool::exportDocument(ObjectContext& context, const QString& file,
                                    const QStringList& paths, bool keepMarks)
{
    const QList<Root*> roots = context.fetch<Root>({}, 1);
    if (roots.isEmpty())
        return fail(StoreUnavailable, QStringLiteral("The store has no root folder."));
    Root* root = roots.first();
    QList<DisplayItem*> chosen;
    for (const QString& path : paths) {
        DisplayItem* node = nodeAtPath(root, path);
        if (!node)
            return fail(BadUsage, QStringLiteral("Nothing is called %1.").arg(path));
        chosen.append(node);
    }
    // As the export sheet does: everything unchecked, then the chosen items checked.
    for (DisplayItem* child : root->children())
        setExportBelow(child, chosen.isEmpty());
    for (DisplayItem* node : std::as_const(chosen))
        setExportBelow(node, true);

    QString error;
    if (!JSONWriter::exportToFile(root->children(), file, &error))
        return fail(BadUsage, error); // it names the file
    return !keepMarks || save(context) ? Success : StoreUnavailable;
}

int CommandLineTool::importDocument(ObjectContext& context, const QString& file)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return fail(BadUsage, QStringLiteral("Cannot read %1: %2").arg(file, input.errorString()));
    JSONReader reader(&context);
    QString error;
    Folder* folder = reader.importDocument(input.readAll(), &error);
    if (!folder)
        return fail(BadUsage, QStringLiteral("%1 was not imported: %2").arg(file, error));
    if (!save(context))
        return StoreUnavailable;
    m_out << "Imported into " << folder->title() << '\n';
    return Success;
}

int CommandLineTool::check(ObjectContext& context, SqliteStore& store)
{
    const QStringList problems = problemsOf(context, store);
    for (const QString& problem : std::as_const(problems))
        m_out << problem << '\n';
    if (problems.isEmpty()) {
        m_out << "No problems found.\n";
        return Success;
    }
    // Rows the loader found damaged are marked to be written again.
    if (context.hasChanges() || !StoreRepair::plan(context).isEmpty())
        m_out << "pinwheels-cli repair can mend some or all of this; it keeps a copy of the "
                 "store first.\n";
    return ProblemsFound;
}

int CommandLineTool::repair(ObjectContext& context, SqliteStore& store, const QString& folder)
{
    const QStringList before = problemsOf(context, store);
    if (!context.hasChanges() && StoreRepair::plan(context).isEmpty()) {
        for (const QString& problem : before)
            m_out << "Cannot be mended: " << problem << '\n';
        m_out << (before.isEmpty() ? "Nothing to repair.\n" : "Nothing was changed.\n");
        return Success;
    }
    QString copy;
    QString error;
    if (!store.backUp(QStringLiteral("repair"), &copy, &error))
        return fail(StoreUnavailable, QStringLiteral("Nothing was repaired: %1").arg(error));
    m_out << "The store as it was is kept in " << QDir::toNativeSeparators(copy) << '\n';
    for (const QString& change : StoreRepair::repair(context))
        m_out << change << '\n';
    if (!save(context))
        return StoreUnavailable;

    StoreError reopenError;
    const std::unique_ptr<ObjectContext> repaired = DataFolder::openStore(folder, &reopenError);
    if (!repaired)
        return fail(StoreUnavailable,
                    reopenError.underlying.isEmpty() ? reopenError.reason : reopenError.underlying);
    const QStringList after = problemsOf(*repaired, *static_cast<SqliteStore*>(repaired->store()));
    for (const QString& problem : before) {
        if (problem.startsWith(QStringLiteral("Store: ")) && !after.contains(problem))
            m_out << "Written again without the damage: " << problem.mid(7) << '\n';
    }
    for (const QString& problem : after)
        m_out << "Cannot be mended: " << problem << '\n';
    return Success;
}

QStringList CommandLineTool::problemsOf(const ObjectContext& context, SqliteStore& store)
{
    QStringList problems;
    store.integrityCheck(&problems);
    return problems + GraphCheck::check(context, store.anomalies());
}

int CommandLineTool::fail(ExitStatus status, const QString& message)
{
    m_err << "pinwheels-cli: " << message << '\n';
    return status;
}

bool CommandLineTool::save(ObjectContext& context)
{
    QString error;
    if (context.save(&error))
        return true;
    fail(StoreUnavailable, QStringLiteral("The store cannot be written: %1").arg(error));
    return false;
}
