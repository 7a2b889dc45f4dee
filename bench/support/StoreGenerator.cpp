#include "StoreGenerator.h"

#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/ObjectContext.h"

#include <QDateTime>

#include <algorithm>

namespace {

const QStringList words{
    QStringLiteral("review"),    QStringLiteral("draft"),     QStringLiteral("budget"),
    QStringLiteral("call"),      QStringLiteral("design"),    QStringLiteral("release"),
    QStringLiteral("invoice"),   QStringLiteral("meeting"),   QStringLiteral("customer"),
    QStringLiteral("report"),    QStringLiteral("schedule"),  QStringLiteral("follow up"),
    QStringLiteral("prototype"), QStringLiteral("quarterly"), QStringLiteral("feedback"),
    QStringLiteral("migration")};

QString phrase(QRandomGenerator& random, int wordCount)
{
    QStringList parts;
    for (int i = 0; i < wordCount; ++i)
        parts.append(words.at(random.bounded(int(words.size()))));
    QString text = parts.join(u' ');
    text[0] = text[0].toUpper();
    return text;
}

RichText line(const QString& text, const QString& style, std::optional<bool> checked = {})
{
    RichText::Attributes attributes;
    attributes.styleName = style;
    attributes.checklistChecked = checked;
    attributes.strikethrough = checked.value_or(false) ? 1 : 0;
    return RichText(text + u'\n', attributes);
}

} // namespace

RichText StoreGenerator::notes(QRandomGenerator& random, int index)
{
    RichText text = line(phrase(random, 3) + QStringLiteral(" #") + QString::number(index),
                         QStringLiteral("title"));
    const int bodyLines = random.bounded(1, 4);
    for (int i = 0; i < bodyLines; ++i)
        text.append(line(phrase(random, random.bounded(6, 14)), QStringLiteral("body")));
    const int checklistLines = random.bounded(4);
    for (int i = 0; i < checklistLines; ++i)
        text.append(line(phrase(random, 4), QStringLiteral("body"), random.bounded(2) == 0));
    return text;
}

StoreGenerator::Result StoreGenerator::generate(ObjectContext& context, const Options& options)
{
    QRandomGenerator random(options.seed);
    Result result;
    result.root = context.insert<Root>();

    QList<Folder*> folders;
    for (const char* name : {"Work", "Personal", "Projects", "Someday"}) {
        auto* folder = context.insert<Folder>();
        folder->setTitle(QString::fromLatin1(name));
        result.root->insertChild(folder);
        folders.append(folder);
        for (int i = 0; i < 2; ++i) {
            auto* sub = context.insert<Folder>();
            sub->setTitle(QString::fromLatin1(name) + QStringLiteral(" %1").arg(i + 1));
            folder->insertChild(sub);
            folders.append(sub);
        }
    }

    const QDateTime start = QDateTime(QDate(2024, 1, 8), QTime(9, 0), Qt::UTC);
    int made = 0;
    const auto makeCard = [&](const QList<Tag*>& tags) {
        auto* card = context.insert<ListItem>();
        card->setAttributedNotes(notes(random, made));
        card->setDateAdded(start.addSecs(qint64(made) * 97));
        if (random.bounded(5) == 0)
            card->setDueDate(start.addDays(random.bounded(400)).addSecs(17 * 3600));
        if (random.bounded(4) == 0) {
            card->setDone(true);
            card->setDoneDate(start.addDays(random.bounded(400)));
            card->setArchived(random.bounded(3) == 0);
        }
        if (random.bounded(20) == 0)
            card->setPriority(1);
        card->setNotesExpanded(random.bounded(2) == 0);
        QList<Tag*> chosen;
        for (int n = random.bounded(4); n > 0 && !tags.isEmpty(); --n)
            chosen.append(tags.at(random.bounded(int(tags.size()))));
        card->setTags(chosen);
        ++made;
        return card;
    };

    // A few lists take a small share of the items.
    const int listItems = options.cards / 20;
    for (int i = 0; i < 3 && made < listItems; ++i) {
        auto* list = context.insert<List>();
        list->setTitle(QStringLiteral("List %1").arg(i + 1));
        folders.at(random.bounded(int(folders.size())))->insertChild(list);
        while (made < listItems * (i + 1) / 3)
            list->insertItem(makeCard({}));
    }

    while (made < options.cards) {
        auto* board = context.insert<Kanban>();
        board->setTitle(QStringLiteral("Board %1").arg(result.boards.size() + 1));
        board->setColour(qint16(random.bounded(7)));
        folders.at(random.bounded(int(folders.size())))->insertChild(board);
        result.boards.append(board);
        QList<Tag*> tags;
        for (int t = 0; t < options.tagsPerBoard; ++t) {
            auto* tag = context.insert<Tag>();
            tag->setName(phrase(random, 1));
            tag->setColour(qint16(t % 7));
            board->addTag(tag);
            tags.append(tag);
        }
        QList<KanbanColumn*> columns;
        for (int c = 0; c < options.columnsPerBoard; ++c) {
            auto* column = context.insert<KanbanColumn>();
            column->setTitle(phrase(random, 1));
            board->insertColumn(column);
            columns.append(column);
        }
        const bool first = result.boards.size() == 1;
        const int boardCards = std::min(
            options.cards - made, options.cardsPerBoard + (first ? options.largeColumnCards : 0));
        for (int i = 0; i < boardCards; ++i) {
            const int c =
                first && i < options.largeColumnCards ? 0 : random.bounded(int(columns.size()));
            columns.at(c)->insertItem(makeCard(tags));
        }
        if (first)
            result.largeColumn = columns.first();
    }
    return result;
}
