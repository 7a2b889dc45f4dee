#include "SampleStore.h"

#include "interchange/ExchangeFormat.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimeZone>
#include <QUrl>

SampleStore::SampleStore()
{
    root = context.insert<Root>();
    work = context.insert<Folder>();
    work->setTitle(QStringLiteral("Work"));
    work->setParent(root);
    work->setExportFlag(true);

    plan = context.insert<Kanban>();
    plan->setTitle(QStringLiteral("Plan"));
    plan->setColour(2);
    plan->setBgImage(QStringLiteral("wlbackground03"));
    plan->setExportFlag(true);
    plan->setParent(work);
    urgent = context.insert<Tag>();
    urgent->setName(QStringLiteral("urgent"));
    urgent->setColour(1);
    later = context.insert<Tag>();
    later->setName(QStringLiteral("later"));
    plan->setTags({urgent, later});
    todo = context.insert<KanbanColumn>();
    todo->setTitle(QStringLiteral("To do"));
    finished = context.insert<KanbanColumn>();
    finished->setTitle(QStringLiteral("Done"));
    plan->setColumn({todo, finished});

    first = context.insert<ListItem>();
    first->setTitle(QStringLiteral("2017-03-04 15:20:07"));
    first->setAttributedNotes(richNotes());
    first->setDateAdded(QDateTime(QDate(2017, 3, 1), QTime(8, 0), QTimeZone::utc()));
    first->setDueDate(QDateTime(QDate(2017, 3, 4), QTime(15, 20, 7), QTimeZone::utc()));
    first->setPriority(1);
    first->setNotesExpanded(true);
    first->setTimeWorked(1.5);
    first->setTags({urgent, later});
    first->setColumn(todo);
    second = context.insert<ListItem>();
    second->setTitle(QStringLiteral("Call"));
    second->setAttributedNotes(RichText(QString()));
    second->setDone(true);
    second->setDoneDate(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
    second->setTags({urgent});
    second->setColumn(finished);

    shopping = context.insert<List>();
    shopping->setTitle(QStringLiteral("Shopping"));
    shopping->setParent(work);
    auto* bread = context.insert<ListItem>();
    bread->setTitle(QStringLiteral("Bread"));
    bread->setList(shopping);

    hidden = context.insert<Kanban>();
    hidden->setTitle(QStringLiteral("Hidden"));
    hidden->setExportFlag(false);
    hidden->setParent(work);
}

QByteArray SampleStore::pngBytes()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

RichText SampleStore::richNotes()
{
    RichText::Attributes title;
    title.styleName = QStringLiteral("title");
    RichText notes(QStringLiteral("Plan \U0001F600 day\n"), title);
    RichText::Attributes checklist;
    checklist.styleName = QStringLiteral("body");
    checklist.checklistChecked = true;
    checklist.strikethrough = 1;
    notes.append(RichText(QStringLiteral("buy milk\n"), checklist));
    RichText::Attributes picture;
    picture.attachment = RichText::Attachment{QStringLiteral("image/png"), pngBytes()};
    notes.append(RichText(QString(RichText::attachmentCharacter), picture));
    notes.append(RichText(QStringLiteral(" see ")));
    RichText::Attributes link;
    ExchangeFormat::Link target;
    target.url = QUrl(QStringLiteral("https://example.org/a%20b?q=1"));
    target.title = QStringLiteral("Example");
    target.body = QStringLiteral("body");
    link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(),
                                           ExchangeFormat::encodeLink(target)};
    notes.append(RichText(QString(RichText::attachmentCharacter), link));
    return notes;
}

qsizetype SampleStore::objectCount(const ObjectContext& context)
{
    return context.fetch(Entity::DisplayItem).size() + context.fetch(Entity::KanbanColumn).size() +
           context.fetch(Entity::ListItem).size();
}

namespace {

QString difference(const QJsonValue& a, const QJsonValue& b, const QString& path,
                   QHash<QString, QString>& forward, QHash<QString, QString>& backward)
{
    if (a.type() != b.type())
        return path + QStringLiteral(": types differ");
    if (a.isArray()) {
        const QJsonArray x = a.toArray();
        const QJsonArray y = b.toArray();
        if (x.size() != y.size())
            return path + QStringLiteral(": %1 elements against %2").arg(x.size()).arg(y.size());
        for (qsizetype i = 0; i < x.size(); ++i) {
            const QString d =
                difference(x[i], y[i], path + QStringLiteral("[%1]").arg(i), forward, backward);
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    if (a.isObject()) {
        const QJsonObject x = a.toObject();
        const QJsonObject y = b.toObject();
        if (x.keys() != y.keys())
            return path + QStringLiteral(": members differ");
        for (auto it = x.begin(); it != x.end(); ++it) {
            const QString member = path + u'.' + it.key();
            if (it.key() == QLatin1StringView("objectIDURI")) {
                const QString from = it.value().toString();
                const QString to = y.value(it.key()).toString();
                if (forward.value(from, to) != to || backward.value(to, from) != from)
                    return member + QStringLiteral(": identities do not map one to one");
                forward.insert(from, to);
                backward.insert(to, from);
                continue;
            }
            const QString d = difference(it.value(), y.value(it.key()), member, forward, backward);
            if (!d.isEmpty())
                return d;
        }
        return {};
    }
    return a == b ? QString() : path + QStringLiteral(": values differ");
}

} // namespace

QString SampleStore::differenceIgnoringIdentities(const QJsonValue& a, const QJsonValue& b)
{
    QHash<QString, QString> forward;
    QHash<QString, QString> backward;
    return difference(a, b, QStringLiteral("document"), forward, backward);
}
