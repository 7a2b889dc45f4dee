#include "BenchmarkDocument.h"

#include "interchange/ExchangeFormat.h"
#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Tag.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTimeZone>
#include <QUrl>

namespace {

constexpr int boards = 8;
constexpr int columnsPerBoard = 6;
constexpr int cardsPerColumn = 290;
constexpr int tagsPerBoard = 8;
constexpr int pictures = 24;

const char* const words[] = {"plan",  "review",  "call",   "budget", "draft",  "ship",
                             "check", "design",  "meet",   "write",  "fix",    "test",
                             "order", "invoice", "report", "update", "client", "team"};

QString sentence(QRandomGenerator& random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += u' ';
        text += QLatin1StringView(words[random.bounded(int(std::size(words)))]);
    }
    return text;
}

} // namespace

BenchmarkDocument::BenchmarkDocument(ObjectContext& context)
    : m_context(context)
    , m_root(context.insert<Root>())
{
    QRandomGenerator random(7);
    for (int i = 0; i < pictures; ++i) {
        QImage image(24, 24, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random.generate());
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        m_pictures.push_back(bytes);
    }
    for (int i = 0; i < boards; ++i)
        addBoard(i);
}

RichText BenchmarkDocument::notesFor(int card) const
{
    QRandomGenerator random(quint32(card) + 11);
    RichText::Attributes title;
    title.styleName = QStringLiteral("title");
    RichText::Attributes body;
    body.styleName = QStringLiteral("body");
    RichText notes(sentence(random, 4) + u'\n', title);
    notes.append(RichText(sentence(random, 24) + u'\n', body));
    for (int line = 0; line < 3; ++line) {
        RichText::Attributes checklist = body;
        checklist.checklistChecked = line == 0;
        checklist.strikethrough = line == 0 ? 1 : 0;
        notes.append(RichText(sentence(random, 5) + u'\n', checklist));
    }
    RichText::Attributes link = body;
    ExchangeFormat::Link target;
    target.url = QUrl(QStringLiteral("https://example.org/cards/%1").arg(card));
    target.title = QStringLiteral("Card %1").arg(card);
    target.body = QStringLiteral("body");
    link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(),
                                           ExchangeFormat::encodeLink(target)};
    notes.append(RichText(QString(RichText::attachmentCharacter), link));
    if (card % 600 == 0) {
        RichText::Attributes picture = body;
        picture.attachment = RichText::Attachment{
            QStringLiteral("image/png"), m_pictures[size_t(card / 600) % m_pictures.size()]};
        notes.append(RichText(QString(RichText::attachmentCharacter), picture));
    }
    return notes;
}

void BenchmarkDocument::addBoard(int index)
{
    QRandomGenerator random(quint32(index) + 1000);
    auto* folder = m_context.insert<Folder>();
    folder->setTitle(QStringLiteral("Area %1").arg(index));
    folder->setExportFlag(true);
    folder->setParent(m_root);
    auto* board = m_context.insert<Kanban>();
    board->setTitle(QStringLiteral("Board %1").arg(index));
    board->setExportFlag(true);
    board->setParent(folder);
    QList<Tag*> tags;
    for (int t = 0; t < tagsPerBoard; ++t) {
        auto* tag = m_context.insert<Tag>();
        tag->setName(sentence(random, 1) + QString::number(t));
        tag->setColour(qint16(t % 7));
        tags.append(tag);
    }
    board->setTags(tags);
    const QDateTime start(QDate(2024, 1, 1), QTime(9, 0), QTimeZone::utc());
    for (int c = 0; c < columnsPerBoard; ++c) {
        auto* column = m_context.insert<KanbanColumn>();
        column->setTitle(sentence(random, 2));
        board->insertColumn(column);
        QList<ListItem*> cards;
        for (int i = 0; i < cardsPerColumn; ++i) {
            const int number = (index * columnsPerBoard + c) * cardsPerColumn + i;
            auto* card = m_context.insert<ListItem>();
            card->setTitle(sentence(random, 3));
            card->setAttributedNotes(notesFor(number));
            card->setDateAdded(start.addSecs(number * 600));
            if (i % 3 == 0)
                card->setDueDate(start.addDays(30 + i % 40));
            if (i % 5 == 0) {
                card->setDone(true);
                card->setDoneDate(start.addDays(20));
            }
            card->setPriority(qint16(i % 7 == 0));
            card->setNotesExpanded(i % 2 == 0);
            card->setTimeWorked(i * 0.25);
            card->setTags({tags[i % tagsPerBoard], tags[(i / 3) % tagsPerBoard]});
            cards.append(card);
        }
        column->setItem(cards);
    }
}

std::vector<BenchmarkDocument::Row> BenchmarkDocument::rows() const
{
    std::vector<Row> rows;
    const auto add = [&rows](const StoredObject* object, const QString& title) {
        rows.push_back({int(object->entity()), title.toUtf8(), {}, {0, 0, 0}});
    };
    for (const auto* item : m_context.fetch<DisplayItem>())
        add(item, item->title());
    for (const auto* column : m_context.fetch<KanbanColumn>())
        add(column, column->title());
    for (const auto* card : m_context.fetch<ListItem>()) {
        add(card, card->title());
        rows.back().notes = card->encodedNotes();
        rows.back().dates[0] = double(card->dateAdded().toSecsSinceEpoch());
        rows.back().dates[1] = double(card->dueDate().toSecsSinceEpoch());
        rows.back().dates[2] = double(card->doneDate().toSecsSinceEpoch());
    }
    return rows;
}
