// Store benchmarks: each result is a ratio to plain SQLite doing the least the same job needs,
// on the same disk with the same settings, measured in the same run.
//   save:  editing one card's notes, then saving ÷ one single-row UPDATE commit
//   open:  opening a store into the object graph ÷ a plain SELECT of all its rows
//   move:  moving one card within a 1,000-card column, then saving ÷ the same single-row commit
//   photo: a keystroke in a card that holds a 10 MB picture, then saving ÷ the same commit

#include "StoreGenerator.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/ObjectContext.h"
#include "store/SqliteDatabase.h"
#include "store/SqliteStatement.h"
#include "store/SqliteStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int saves = 1000;
// Every value the plain SELECT reads ends up here, so that no read can be optimised away.
volatile qint64 valueSink = 0;

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * fraction))];
}

double median(const std::vector<double>& values)
{
    return percentile(values, 0.5);
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
qint64 statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

std::unique_ptr<ObjectContext> openContext(const QString& path)
{
    QString error;
    auto store = SqliteStore::open(path, &error);
    if (!store)
        qFatal("bench_store: %s", qPrintable(error));
    auto context = std::make_unique<ObjectContext>(std::move(store));
    if (!context->load(&error))
        qFatal("bench_store: %s", qPrintable(error));
    return context;
}

// The reference connection: the settings SqliteStore uses.
void openRaw(SqliteDatabase& database, const QString& path)
{
    if (!database.open(path, SQLITE_OPEN_READWRITE) ||
        !database.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL") ||
        sqlite3_wal_autocheckpoint(database.handle(), 0) != SQLITE_OK)
        qFatal("bench_store: %s", qPrintable(database.errorMessage()));
}

double rawSelectAll(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    SqliteDatabase database;
    openRaw(database, path);
    qint64 sink = 0;
    for (const char* sql :
         {"SELECT * FROM display_item", "SELECT * FROM kanban_column", "SELECT * FROM list_item"}) {
        SqliteStatement select(database, sql);
        const int columns = select.columnCount();
        while (select.next()) {
            // Each value once, in its own type, as the least any reader must do.
            for (int c = 0; c < columns; ++c) {
                switch (select.columnType(c)) {
                case SQLITE_INTEGER:
                    sink += select.columnInt64(c);
                    break;
                case SQLITE_FLOAT:
                    sink += qint64(select.columnDouble(c));
                    break;
                case SQLITE_TEXT:
                case SQLITE_BLOB:
                    sink += qint64(select.columnBytes(c).size());
                    break;
                default:
                    break;
                }
            }
        }
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    valueSink = valueSink + sink;
    return ms;
}

void generateStore(const QString& path, int cards)
{
    auto context = openContext(path);
    StoreGenerator::Options options;
    options.cards = cards;
    StoreGenerator::generate(*context, options);
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!context->save(&error))
        qFatal("bench_store: %s", qPrintable(error));
    std::printf("  generated %d cards; first save %.0f ms\n", cards,
                double(timer.nsecsElapsed()) / 1e6);
}

// Runs this program again in `mode`; the child prints one number of milliseconds first.
double inChild(const QString& self, const char* mode, const QString& path, QByteArray* rest)
{
    QProcess child;
    child.start(self, {QString::fromLatin1(mode), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        qFatal("bench_store: the %s child failed", mode);
    const QByteArray output = child.readAllStandardOutput();
    const qsizetype space = output.indexOf(' ');
    if (rest)
        *rest = output.mid(space + 1);
    return output.left(space).toDouble();
}

void benchmarkOpen(const QString& path, const QString& self)
{
    std::vector<double> raw, open;
    for (int i = 0; i < 5; ++i) {
        raw.push_back(rawSelectAll(path));
        QElapsedTimer timer;
        timer.start();
        auto context = openContext(path);
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("  open to graph %.1f ms, raw SELECT of all rows %.1f ms: ratio %.2f (goal <= "
                "2.0), warm process\n",
                median(open), median(raw), median(open) / median(raw));
    // A fresh process, as at launch: every page of the graph is new to it.
    std::vector<double> coldRaw, coldOpen;
    QByteArray memory;
    for (int i = 0; i < 3; ++i) {
        coldRaw.push_back(inChild(self, "--raw-select", path, nullptr));
        coldOpen.push_back(inChild(self, "--open-memory", path, &memory));
    }
    std::printf("  open to graph %.1f ms, raw SELECT of all rows %.1f ms: ratio %.2f, fresh "
                "process; %s",
                median(coldOpen), median(coldRaw), median(coldOpen) / median(coldRaw),
                memory.constData());
    // What the machine charges a fresh process for new memory, whoever asks for it.
    const QByteArray growth = memory.mid(memory.lastIndexOf("growth ") + 7).split(' ').first();
    std::printf("  (for reference, a fresh process takes %.1f ms to touch %s MB of new memory "
                "here)\n",
                inChild(self, "--touch", growth, nullptr), growth.constData());
}

// Interleaves the store's saves with raw single-row commits, so that both see the same disk.
void benchmarkSaves(const QString& path, bool move)
{
    auto context = openContext(path);
    QList<ListItem*> cards = context->fetch<ListItem>();
    KanbanColumn* column = nullptr;
    for (KanbanColumn* c : context->fetch<KanbanColumn>()) {
        if (!column || c->item().size() > column->item().size())
            column = c;
    }
    SqliteDatabase raw;
    openRaw(raw, path);
    SqliteStatement update(raw, "UPDATE list_item SET notes = ? WHERE number = ?");
    QRandomGenerator random(7);
    std::vector<double> rawTimes, storeTimes;
    QElapsedTimer timer;
    for (int i = 0; i < saves; ++i) {
        ListItem* card = cards.at(random.bounded(int(cards.size())));
        const QByteArray notes = StoreGenerator::notes(random, i).encode();
        timer.start();
        update.bindBlob(0, notes);
        update.bindInt64(1, card->objectNumber());
        if (!update.execute())
            qFatal("bench_store: %s", qPrintable(raw.errorMessage()));
        rawTimes.push_back(double(timer.nsecsElapsed()) / 1e6);

        if (move) {
            ListItem* moved = column->item().at(random.bounded(int(column->item().size())));
            column->insertItem(moved, random.bounded(int(column->item().size())));
        } else {
            card->setAttributedNotes(StoreGenerator::notes(random, i));
        }
        timer.start();
        QString error;
        if (!context->save(&error))
            qFatal("bench_store: %s", qPrintable(error));
        storeTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double ratio = median(storeTimes) / median(rawTimes);
    if (move)
        std::printf("  move within a %lld-card column: save %.3f ms, raw commit %.3f ms: ratio "
                    "%.2f (goal <= 3)\n",
                    qint64(column->item().size()), median(storeTimes), median(rawTimes), ratio);
    else
        std::printf("  save after editing one card's notes: %.3f ms, raw commit %.3f ms: ratio "
                    "%.2f (goal <= 1.3)\n  slowest of %d saves %.2f ms (goal <= 8), 99th "
                    "percentile %.2f ms; raw commits: slowest %.2f ms, 99th percentile %.2f ms\n",
                    median(storeTimes), median(rawTimes), ratio, saves, percentile(storeTimes, 1.0),
                    percentile(storeTimes, 0.99), percentile(rawTimes, 1.0),
                    percentile(rawTimes, 0.99));
}

// A 10 MB PNG of noise, which does not compress.
QByteArray tenMegabytePicture()
{
    QImage image(1620, 1620, QImage::Format_ARGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 100); // stored, not compressed: noise would not shrink
    return bytes;
}

void benchmarkPhotoKeystrokes(const QString& path)
{
    auto context = openContext(path);
    const QByteArray picture = tenMegabytePicture();
    RichText notes(QStringLiteral("Holiday\n"),
                   RichText::Attributes{QStringLiteral("title"), {}, 0, {}});
    RichText::Attributes attachment{QStringLiteral("body"), {}, 0, {}};
    attachment.attachment = RichText::Attachment{QStringLiteral("image/png"), picture};
    notes.append(RichText(QString(RichText::attachmentCharacter), attachment));
    auto* card = context->insert<ListItem>();
    card->setAttributedNotes(notes);
    context->fetch<KanbanColumn>().first()->insertItem(card);
    QString error;
    if (!context->save(&error))
        qFatal("bench_store: %s", qPrintable(error));

    SqliteDatabase raw;
    openRaw(raw, path);
    SqliteStatement update(raw, "UPDATE list_item SET notes = ? WHERE number = ?");
    const ListItem* other = context->fetch<ListItem>().first();
    QRandomGenerator random(5);
    std::vector<double> rawTimes, storeTimes;
    QElapsedTimer timer;
    for (int i = 0; i < saves / 4; ++i) {
        const QByteArray small = StoreGenerator::notes(random, i).encode();
        timer.start();
        update.bindBlob(0, small);
        update.bindInt64(1, other->objectNumber());
        if (!update.execute())
            qFatal("bench_store: %s", qPrintable(raw.errorMessage()));
        rawTimes.push_back(double(timer.nsecsElapsed()) / 1e6);

        // One letter typed before the picture, as the editor hands it over, then the save.
        timer.start();
        notes.replace(notes.length() - 1, 0, RichText(QString(QChar(u'a' + i % 26))));
        card->setAttributedNotes(notes);
        if (!context->save(&error))
            qFatal("bench_store: %s", qPrintable(error));
        storeTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("  keystroke in a card with a %.1f MB picture, then save: %.3f ms, raw commit "
                "%.3f ms: ratio %.2f (goal <= 1.5)\n",
                double(picture.size()) / 1e6, median(storeTimes), median(rawTimes),
                median(storeTimes) / median(rawTimes));
}

int openMemory(const QString& path)
{
    const qint64 before = statusKilobytes("VmRSS");
    QElapsedTimer timer;
    timer.start();
    auto context = openContext(path);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%.2f peak VmHWM %.1f MB, VmRSS growth %.1f MB\n", ms,
                double(statusKilobytes("VmHWM")) / 1024,
                double(statusKilobytes("VmRSS") - before) / 1024);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == u"--open-memory")
        return openMemory(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == u"--touch") {
        const size_t bytes = size_t(arguments[2].toDouble() * 1024 * 1024);
        QElapsedTimer timer;
        timer.start();
        std::vector<char> memory(bytes);
        std::printf("%.2f \n", double(timer.nsecsElapsed()) / 1e6);
        return memory.empty() ? 1 : 0;
    }
    if (arguments.size() == 3 && arguments[1] == u"--raw-select") {
        std::printf("%.2f \n", rawSelectAll(arguments[2]));
        return 0;
    }
    // A store to look at by hand.
    if (arguments.size() == 4 && arguments[1] == u"--generate") {
        generateStore(arguments[2], arguments[3].toInt());
        return 0;
    }

    // Never the user's data: every store lives in a temporary folder.
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("bench_store: no temporary folder");
    for (const int cards : {5000, 50000}) {
        std::printf("Store of %d cards\n", cards);
        const QString path = dir.filePath(QStringLiteral("store-%1.storedata").arg(cards));
        generateStore(path, cards);
        benchmarkOpen(path, app.applicationFilePath());
        benchmarkSaves(path, false);
        benchmarkSaves(path, true);
        if (cards == 5000)
            benchmarkPhotoKeystrokes(path);
        std::fflush(stdout);
    }
    return 0;
}
