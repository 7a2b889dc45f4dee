// Performs the saves of CrashScenario on the store given as the first argument, printing each
// sequence number once its save has returned, and "begin <n>" before each big save.
//
// With "--hold-in-big-save <k>", the first big save stops inside its transaction, after about
// k steps of SQLite's statements (at the commit at the latest), prints "inside <n>" and waits
// there to be killed.

#include "CrashScenario.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <sqlite3.h>

namespace {

void print(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The hold: armed around the first big save only.
struct Hold
{
    bool armed = false;
    qint64 sequence = 0;
    qint64 countdown = 0;
};
Hold hold;

void holdHere()
{
    hold.armed = false;
    print("inside " + QByteArray::number(hold.sequence));
    QThread::sleep(30); // ample time to be killed; then the save goes on
}

int countStep(void* database)
{
    // Steps count only inside the transaction, not while the save prepares it.
    if (hold.armed && !sqlite3_get_autocommit(static_cast<sqlite3*>(database)) &&
        hold.countdown-- <= 0)
        holdHere();
    return 0;
}

int beforeCommit(void*)
{
    if (hold.armed)
        holdHere();
    return 0;
}

// Run by SQLite for every connection this process opens.
int installHooks(sqlite3* database, const char**, const sqlite3_api_routines*)
{
    sqlite3_progress_handler(database, 50, countStep, database);
    sqlite3_commit_hook(database, beforeCommit, nullptr);
    return SQLITE_OK;
}

bool save(ObjectContext& context)
{
    QString error;
    if (context.save(&error))
        return true;
    std::fprintf(stderr, "storewriter: save failed: %s\n", qPrintable(error));
    return false;
}

ListItem* newCard(ObjectContext& context, qint64 sequence)
{
    auto* card = context.insert<ListItem>();
    card->setTitle(QString::number(sequence));
    card->setAttributedNotes(RichText(QStringLiteral("Card notes, long enough to take some room "
                                                     "on the page: ") +
                                      QString(120, u'x')));
    return card;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool holding = argc == 4 && qstrcmp(argv[2], "--hold-in-big-save") == 0;
    if (argc != 2 && !holding) {
        std::fprintf(stderr, "usage: storewriter <store file> [--hold-in-big-save <steps>]\n");
        return 2;
    }
    if (holding) {
        hold.countdown = QByteArray(argv[3]).toLongLong();
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&installHooks));
    }
    QString error;
    auto store = SqliteStore::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!store) {
        std::fprintf(stderr, "storewriter: %s\n", qPrintable(error));
        return 1;
    }
    ObjectContext context(std::move(store));
    if (!context.load(&error)) {
        std::fprintf(stderr, "storewriter: %s\n", qPrintable(error));
        return 1;
    }

    Root* root = context.fetch<Root>().value(0);
    if (!root) {
        root = context.insert<Root>();
        root->setTitle(QStringLiteral("0"));
        auto* board = context.insert<Kanban>();
        board->setTitle(QStringLiteral("Crash board"));
        root->insertChild(board);
        for (int c = 0; c < CrashScenario::columns; ++c)
            board->insertColumn(context.insert<KanbanColumn>());
        for (int i = 0; i < CrashScenario::initialCards; ++i)
            board->column().at(i % CrashScenario::columns)->insertItem(newCard(context, 0));
        if (!save(context))
            return 1;
        print("0");
    }
    Kanban* board = context.fetch<Kanban>().first();

    // Bounded, in case nobody comes to kill it.
    QElapsedTimer running;
    running.start();
    for (qint64 sequence = root->title().toLongLong() + 1; running.elapsed() < 60000; ++sequence) {
        const QString mark = QString::number(sequence);
        root->setTitle(mark);
        const QList<ListItem*> cards = context.fetch<ListItem>();
        const bool big = CrashScenario::isBigSave(sequence);
        if (big) {
            print("begin " + QByteArray::number(sequence));
            for (ListItem* card : cards)
                card->setTitle(mark);
            KanbanColumn* column = board->column().at(
                int(sequence / CrashScenario::bigSaveInterval % CrashScenario::columns));
            for (int i = 0; i < CrashScenario::cardsPerBigSave; ++i)
                column->insertItem(newCard(context, sequence), 0);
        } else {
            for (int j = 0; j < CrashScenario::cardsPerSmallSave; ++j)
                cards[CrashScenario::touchedCard(sequence, j, cards.size())]->setTitle(mark);
            ListItem* moved = cards[CrashScenario::touchedCard(sequence, 0, cards.size())];
            const int from = int(board->column().indexOf(moved->column()));
            board->column().at((from + 1) % CrashScenario::columns)->insertItem(moved, 0);
        }
        hold.armed = holding && big && hold.sequence == 0;
        hold.sequence = hold.armed ? sequence : hold.sequence;
        if (!save(context))
            return 1;
        hold.armed = false;
        print(QByteArray::number(sequence));
    }
    return 0;
}
