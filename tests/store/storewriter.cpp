// Performs the saves of CrashScenario on the store given as the only argument, printing each
// sequence number once its save has returned, and "begin <n>" before each big save.

#include "CrashScenario.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

void print(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
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
    if (argc != 2) {
        std::fprintf(stderr, "usage: storewriter <store file>\n");
        return 2;
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
        if (CrashScenario::isBigSave(sequence)) {
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
        if (!save(context))
            return 1;
        print(QByteArray::number(sequence));
    }
    return 0;
}
