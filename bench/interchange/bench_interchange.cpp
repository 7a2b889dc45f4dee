// Import and export of a large exchange document, each against a baseline measured in the same
// run on the same data:
//   import ÷ (simdjson parse of the file + raw SQLite insert of as many rows in one transaction)
//   export ÷ (the same JSON writer serialising an equivalent in-memory JSON tree)
// and the peak resident memory (VmHWM) of each. The store is not on this branch yet, so the
// import goes into an in-memory context and the SQLite baseline into an in-memory database.
#include "BenchmarkDocument.h"
#include "ParserComparison.h"
#include "interchange/ExchangeDocument.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "interchange/JsonTextWriter.h"
#include "model/Folder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr int repetitions = 3;
constexpr double importGoal = 3.0;
constexpr double exportGoal = 2.0;

// Kilobytes of the named line of /proc/self/status.
qint64 statusKilobytes(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Starts a new peak: VmHWM falls back to the current resident size.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double seconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

double best(const std::function<void()>& work)
{
    double fastest = std::numeric_limits<double>::max();
    for (int i = 0; i < repetitions; ++i)
        fastest = std::min(fastest, seconds(work));
    return fastest;
}

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "bench_interchange: %s\n", what);
        std::exit(1);
    }
}

double sqliteInsertSeconds(const std::vector<BenchmarkDocument::Row>& rows)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(":memory:", &db) == SQLITE_OK, "cannot open SQLite");
    check(sqlite3_exec(db,
                       "CREATE TABLE object(id INTEGER PRIMARY KEY, entity INTEGER, title TEXT, "
                       "notes BLOB, dateAdded REAL, dueDate REAL, doneDate REAL)",
                       nullptr, nullptr, nullptr) == SQLITE_OK,
          "cannot create the table");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO object VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1,
                             &insert, nullptr) == SQLITE_OK,
          "cannot prepare the insert");
    const double elapsed = seconds([&] {
        sqlite3_exec(db, "DELETE FROM object", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_int64 id = 1;
        for (const BenchmarkDocument::Row& row : rows) {
            sqlite3_bind_int64(insert, 1, id++);
            sqlite3_bind_int(insert, 2, row.entity);
            sqlite3_bind_text(insert, 3, row.title.constData(), int(row.title.size()),
                              SQLITE_STATIC);
            sqlite3_bind_blob(insert, 4, row.notes.constData(), int(row.notes.size()),
                              SQLITE_STATIC);
            for (int d = 0; d < 3; ++d)
                sqlite3_bind_double(insert, 5 + d, row.dates[d]);
            check(sqlite3_step(insert) == SQLITE_DONE, "insert failed");
            sqlite3_reset(insert);
        }
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, "commit failed");
    });
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return elapsed;
}

void printRatio(const char* what, double ratio, double goal)
{
    std::printf("%-34s %6.2f   (goal <= %.0f: %s)\n", what, ratio, goal,
                ratio <= goal ? "met" : "NOT MET");
}

void printParsers(const QList<ParserComparison::Result>& results, qsizetype bytes)
{
    for (const ParserComparison::Result& result : results) {
        if (result.seconds < 0) {
            std::printf("  %-58s not measured\n", qPrintable(result.parser));
            continue;
        }
        std::printf("  %-58s %8.1f ms  %7.0f MB/s%s\n", qPrintable(result.parser),
                    result.seconds * 1e3, double(bytes) / 1e6 / result.seconds,
                    result.accepted ? "" : "  (refused the document)");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1StringView("--parse-once")) {
        QFile input(arguments[3]);
        if (!input.open(QIODevice::ReadOnly))
            return 1;
        const auto result = ParserComparison::parseOnce(arguments[2], input.readAll());
        std::printf("%.6f %d\n", result.seconds, int(result.accepted));
        return 0;
    }
    QTemporaryDir dir;
    check(dir.isValid(), "no temporary folder");
    const QString path = dir.filePath(QStringLiteral("benchmark.Pinwheels"));

    ObjectContext source;
    const BenchmarkDocument generated(source);
    const QList<DisplayItem*> topLevel = generated.root()->children();

    // Export: the writer against Qt serialising the same tree, built beforehand.
    QString error;
    check(JSONWriter::exportToFile(topLevel, path, &error), "the export failed");
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "cannot read the export");
    const QByteArray json = file.readAll();
    const QJsonArray tree = QJsonDocument::fromJson(json).array();
    check(!tree.isEmpty(), "the export does not parse");

    const qint64 exportRssBefore = statusKilobytes("VmRSS");
    resetPeak();
    const double exportInMemory = best([&] {
        check(JSONWriter::documentJson(topLevel).size() == json.size(), "the export is not stable");
    });
    const qint64 exportPeak = statusKilobytes("VmHWM");
    const double exportFile = best([&] { JSONWriter::exportToFile(topLevel, path, &error); });
    const double serialise = best([&] {
        JsonTextWriter writer;
        writer.value(tree);
        check(writer.text().size() == size_t(json.size()), "the tree does not give the export");
    });
    const double qtSerialise = best([&] { QJsonDocument(tree).toJson(QJsonDocument::Compact); });

    // Import: parse, check and build, against parsing alone plus a raw SQLite insert.
    const std::vector<BenchmarkDocument::Row> rows = generated.rows();
    qsizetype built = 0;
    const qint64 importRssBefore = statusKilobytes("VmRSS");
    resetPeak();
    double import = std::numeric_limits<double>::max();
    for (int i = 0; i < repetitions; ++i) {
        // Made and destroyed outside the timing: only the import itself counts.
        auto target = std::make_unique<ObjectContext>();
        target->insert<Root>();
        JSONReader reader(target.get());
        import = std::min(import, seconds([&] {
                              check(reader.importDocument(json, &error), "the import failed");
    }));
    built = target->fetch(Entity::DisplayItem).size() + target->fetch(Entity::KanbanColumn).size() +
            target->fetch(Entity::ListItem).size();
}
const qint64 importPeak = statusKilobytes("VmHWM");
bool parsed = false;
const double parse = ParserComparison::simdjsonSeconds(json, repetitions, &parsed);
check(parsed, "simdjson refused the document");
const double insert = sqliteInsertSeconds(rows);

std::printf("Exchange document: %.1f MB, %zu objects (%lld built by the import)\n",
            double(json.size()) / 1e6, rows.size(), qlonglong(built));
std::printf("\nParsers on this document, each in a fresh process (best of %d):\n", repetitions);
printParsers(ParserComparison::freshProcesses(application.applicationFilePath(), path, repetitions),
             json.size());
std::printf("Parsers in this process, heap already warm (best of %d):\n", repetitions);
printParsers(ParserComparison::inProcess(json, repetitions), json.size());
std::printf("\nImport (parse, check, build in memory) %8.1f ms\n", import * 1e3);
std::printf("  simdjson parse                       %8.1f ms\n", parse * 1e3);
std::printf("  raw SQLite insert of %zu rows     %8.1f ms\n", rows.size(), insert * 1e3);
std::printf("Export to memory                       %8.1f ms\n", exportInMemory * 1e3);
std::printf("Export to file (QSaveFile)             %8.1f ms\n", exportFile * 1e3);
std::printf("  the writer serialising the same tree %8.1f ms\n", serialise * 1e3);
std::printf("  (Qt's QJsonDocument for comparison   %8.1f ms)\n\n", qtSerialise * 1e3);
printRatio("import / (parse + SQLite insert)", import / (parse + insert), importGoal);
printRatio("export / serialising", exportInMemory / serialise, exportGoal);
std::printf("\nPeak memory (VmHWM): import %.0f MB (resident before %.0f MB), "
            "export %.0f MB (resident before %.0f MB)\n",
            double(importPeak) / 1024, double(importRssBefore) / 1024, double(exportPeak) / 1024,
            double(exportRssBefore) / 1024);
return 0;
}
