#include "IsolatedEnvironment.h"
#include "SampleStore.h"
#include "interchange/ExchangeFormat.h"
#include "interchange/JSONWriter.h"

#include <QCborMap>
#include <QCborValue>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QUrl>

#include <csignal>
#include <ctime>
#include <sys/resource.h>

namespace {

QJsonObject attributesOf(const QJsonObject& entry, const QString& entity)
{
    return entry.value(entity).toObject();
}

QStringList titlesOf(const QJsonArray& entries)
{
    QStringList titles;
    for (const QJsonValue& entry : entries) {
        const QJsonObject object = entry.toObject();
        titles.append(object.begin().value().toObject().value(QStringLiteral("title")).toString());
    }
    return titles;
}

} // namespace

class JSONWriterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesTakeTheirJsonForm()
    {
        QCOMPARE(JSONWriter::exportValue(QVariant()), QJsonValue(QJsonValue::Null));
        QCOMPARE(JSONWriter::exportValue(QDateTime()), QJsonValue(QJsonValue::Null));
        const QDateTime date(QDate(2017, 3, 4), QTime(15, 20, 7, 999), QTimeZone::utc());
        QCOMPARE(JSONWriter::exportValue(date), QJsonValue(QStringLiteral("2017-03-04 15:20:07")));
        QCOMPARE(JSONWriter::exportValue(QUrl(QStringLiteral("file:///tmp/a b.pdf"))),
                 QJsonValue(QStringLiteral("file:///tmp/a%20b.pdf")));
        QCOMPARE(JSONWriter::exportValue(true), QJsonValue(true));
        QCOMPARE(JSONWriter::exportValue(QVariant::fromValue(qint16(-3))), QJsonValue(-3));
        QCOMPARE(JSONWriter::exportValue(1.25), QJsonValue(1.25));
        QCOMPARE(JSONWriter::exportValue(QStringLiteral("x")), QJsonValue(QStringLiteral("x")));
        const QJsonValue notes = JSONWriter::exportValue(QVariant::fromValue(RichText()));
        QCOMPARE(notes.toObject().value(QStringLiteral("string")), QJsonValue(QString()));
        QVERIFY(notes.toObject().value(QStringLiteral("runs")).toArray().isEmpty());
    }

    void localMidnightEastOfUtcIsWrittenAsThePreviousDay()
    {
        const QByteArray oldZone = qgetenv("TZ");
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        const QDateTime midnight(QDate(2017, 3, 4), QTime(0, 0));
        QCOMPARE(midnight.timeSpec(), Qt::LocalTime);
        const QJsonValue written = JSONWriter::exportValue(midnight);
        if (oldZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldZone);
        tzset();
        QCOMPARE(written, QJsonValue(QStringLiteral("2017-03-03 15:00:00")));
    }

    void richTextRunsCoverTheTextInUtf16Units()
    {
        const QJsonObject notes = JSONWriter::dictionaryRepresentation(SampleStore::richNotes());
        QCOMPARE(notes.value(QStringLiteral("string")).toString(), SampleStore::richNotes().text());
        const QJsonArray runs = notes.value(QStringLiteral("runs")).toArray();
        QCOMPARE(runs.size(), 5);
        const auto range = [&runs](int i) {
            const QJsonObject r = runs[i].toObject().value(QStringLiteral("range")).toObject();
            return std::pair(r.value(QStringLiteral("location")).toInt(),
                             r.value(QStringLiteral("length")).toInt());
        };
        // "Plan 😀 day\n": the emoji counts as two.
        QCOMPARE(range(0), std::pair(0, 12));
        QCOMPARE(range(1), std::pair(12, 9));
        QCOMPARE(range(2), std::pair(21, 1));
        const auto attributes = [&runs](int i) {
            return runs[i].toObject().value(QStringLiteral("attributes")).toObject();
        };
        QCOMPARE(attributes(0),
                 (QJsonObject{{QStringLiteral("NOTESTYLENAME"), QStringLiteral("title")}}));
        QCOMPARE(attributes(1),
                 (QJsonObject{{QStringLiteral("NOTESTYLENAME"), QStringLiteral("body")},
                              {QStringLiteral("isChecklistChecked"), true},
                              {QStringLiteral("NSStrikethrough"), 1}}));
        QCOMPARE(attributes(2).value(QStringLiteral("NSAttachment")).toString(),
                 QString::fromLatin1(SampleStore::pngBytes().toBase64()));
        QVERIFY(attributes(3).isEmpty());
        QCOMPARE(
            attributes(4).value(QStringLiteral("NSLink")).toObject(),
            (QJsonObject{{QStringLiteral("URL"), QStringLiteral("https://example.org/a%20b?q=1")},
                         {QStringLiteral("title"), QStringLiteral("Example")},
                         {QStringLiteral("body"), QStringLiteral("body")}}));

        const QJsonObject one = JSONWriter::dictionaryRepresentation(RichText(QStringLiteral("x")));
        QCOMPARE(one.value(QStringLiteral("runs")).toArray().size(), 1);
        QVERIFY(one.value(QStringLiteral("runs"))[0][QStringLiteral("attributes")]
                    .toObject()
                    .isEmpty());
    }

    void linkAttachmentsFollowTheAttachmentRule_data()
    {
        QTest::addColumn<QString>("fileType");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QJsonObject>("expected");

        ExchangeFormat::Link file;
        file.url = QUrl::fromLocalFile(QStringLiteral("/home/me/Plan ü.pdf"));
        file.title = QStringLiteral("Plan ü.pdf");
        QTest::newRow("local file keeps its file URL")
            << RichText::Attachment::linkFileType() << ExchangeFormat::encodeLink(file)
            << QJsonObject{{QStringLiteral("NSLink"),
                            QJsonObject{{QStringLiteral("URL"),
                                         QStringLiteral("file:///home/me/Plan%20%C3%BC.pdf")},
                                        {QStringLiteral("title"), QStringLiteral("Plan ü.pdf")}}}};
        ExchangeFormat::Link untargeted;
        untargeted.title = QStringLiteral("t");
        untargeted.body = QStringLiteral("b");
        QTest::newRow("link without URL is written without it")
            << RichText::Attachment::linkFileType() << ExchangeFormat::encodeLink(untargeted)
            << QJsonObject{{QStringLiteral("NSLink"),
                            QJsonObject{{QStringLiteral("title"), QStringLiteral("t")},
                                        {QStringLiteral("body"), QStringLiteral("b")}}}};
        QCborMap plain;
        plain.insert(QStringLiteral("URL"), QStringLiteral("mailto:a@b.c"));
        QTest::newRow("URL as CBOR text")
            << RichText::Attachment::linkFileType() << QCborValue(plain).toCbor()
            << QJsonObject{{QStringLiteral("NSLink"),
                            QJsonObject{{QStringLiteral("URL"), QStringLiteral("mailto:a@b.c")}}}};
        QTest::newRow("contents that are not a map are dropped")
            << RichText::Attachment::linkFileType() << QCborValue(42).toCbor() << QJsonObject{};
        QTest::newRow("empty file is dropped")
            << QStringLiteral("image/png") << QByteArray() << QJsonObject{};
    }

    void linkAttachmentsFollowTheAttachmentRule()
    {
        QFETCH(QString, fileType);
        QFETCH(QByteArray, contents);
        QFETCH(QJsonObject, expected);
        RichText::Attributes attributes;
        attributes.styleName = QStringLiteral("body");
        attributes.attachment = RichText::Attachment{fileType, contents};
        const QJsonObject written = JSONWriter::dictionaryRepresentation(
            RichText(QString(RichText::attachmentCharacter), attributes));
        QJsonObject encoded =
            written[QStringLiteral("runs")][0][QStringLiteral("attributes")].toObject();
        // The run keeps its other attributes whatever happens to the attachment.
        QCOMPARE(encoded.take(QStringLiteral("NOTESTYLENAME")), QJsonValue(QStringLiteral("body")));
        QCOMPARE(encoded, expected);
    }

    void entryCarriesEveryAttributeAndOrderedRelationship()
    {
        SampleStore store;
        const QJsonObject entry = JSONWriter::dictionaryFromObject(*store.first);
        QCOMPARE(entry.keys(), QStringList{QStringLiteral("ListItem")});
        const QJsonObject card = attributesOf(entry, QStringLiteral("ListItem"));
        QCOMPARE(card.keys(), (QStringList{"archived", "attributedNotes", "dateAdded", "done",
                                           "doneDate", "dueDate", "notesExpanded", "objectIDURI",
                                           "priority", "tags", "timeWorked", "title"}));
        QCOMPARE(card.value(QStringLiteral("doneDate")), QJsonValue(QJsonValue::Null));
        QCOMPARE(card.value(QStringLiteral("dueDate")).toString(),
                 QStringLiteral("2017-03-04 15:20:07"));
        QCOMPARE(card.value(QStringLiteral("title")).toString(),
                 QStringLiteral("2017-03-04 15:20:07"));
        QCOMPARE(card.value(QStringLiteral("objectIDURI")).toString(),
                 store.context.uriFor(store.first));

        // Each tag in full, with the same identity as in the board's tags.
        const QJsonArray tags = card.value(QStringLiteral("tags")).toArray();
        QCOMPARE(tags.size(), 2);
        const QJsonArray boardTags =
            attributesOf(JSONWriter::dictionaryFromObject(*store.plan), QStringLiteral("Kanban"))
                .value(QStringLiteral("tags"))
                .toArray();
        QCOMPARE(tags, boardTags);
        QCOMPARE(attributesOf(tags[0].toObject(), QStringLiteral("Tag")).keys(),
                 (QStringList{"bgImage", "colour", "export", "name", "objectIDURI"}));

        // A tag has no relationships; a column holds its cards; a folder's children are an
        // empty array when nothing is in them.
        const QJsonObject column = attributesOf(JSONWriter::dictionaryFromObject(*store.finished),
                                                QStringLiteral("KanbanColumn"));
        QCOMPARE(column.value(QStringLiteral("item")).toArray().size(), 1);
        auto* empty = store.context.insert<Folder>();
        empty->setExportFlag(true);
        const QJsonObject folder =
            attributesOf(JSONWriter::dictionaryFromObject(*empty), QStringLiteral("Folder"));
        QCOMPARE(folder.value(QStringLiteral("children")), QJsonValue(QJsonArray()));
        QCOMPARE(folder.value(QStringLiteral("title")), QJsonValue(QJsonValue::Null));
    }

    void exportRuleLeavesOutUnmarkedFoldersAndBoards()
    {
        SampleStore store;
        // The unmarked board is absent from its marked folder, not written as null.
        QJsonObject work =
            attributesOf(JSONWriter::dictionaryFromObject(*store.work), QStringLiteral("Folder"));
        QCOMPARE(titlesOf(work.value(QStringLiteral("children")).toArray()),
                 (QStringList{"Plan", "Shopping"}));
        QVERIFY(JSONWriter::dictionaryFromObject(*store.hidden).isEmpty());

        // A list is written whatever its own flag; a board only when marked.
        store.shopping->setExportFlag(false);
        store.work->setExportFlag(false);
        store.plan->setExportFlag(false);
        store.hidden->setExportFlag(true);
        // Partly marked children: the folder is written with only those.
        work =
            attributesOf(JSONWriter::dictionaryFromObject(*store.work), QStringLiteral("Folder"));
        QCOMPARE(titlesOf(work.value(QStringLiteral("children")).toArray()),
                 (QStringList{"Shopping", "Hidden"}));
        QCOMPARE(work.value(QStringLiteral("export")), QJsonValue(false));

        // A folder that is unmarked with no marked children is left out.
        store.hidden->setExportFlag(false);
        QVERIFY(JSONWriter::dictionaryFromObject(*store.work).isEmpty());
    }

    void folderWhoseChildrenAreAllMarkedIsWritten()
    {
        SampleStore store;
        store.work->setExportFlag(false);
        store.hidden->setExportFlag(true);
        store.shopping->setExportFlag(true);
        const QJsonArray document = JSONWriter::documentFromTopLevelItems(store.root->children());
        QCOMPARE(titlesOf(document), QStringList{"Work"});
        QCOMPARE(store.work->exportFlag(), std::optional<bool>(true));
        const QJsonObject work = attributesOf(document[0].toObject(), QStringLiteral("Folder"));
        QCOMPARE(work.value(QStringLiteral("export")), QJsonValue(true));
        QCOMPARE(work.value(QStringLiteral("children")).toArray().size(), 3);
    }

    void documentTakesMarkedTopLevelItemsInOrder()
    {
        SampleStore store;
        auto* loose = store.context.insert<Kanban>();
        loose->setTitle(QStringLiteral("Loose"));
        loose->setParent(store.root);
        auto* unmarkedList = store.context.insert<List>();
        unmarkedList->setParent(store.root);
        QCOMPARE(titlesOf(JSONWriter::documentFromTopLevelItems(store.root->children())),
                 QStringList{"Work"});
        loose->setExportFlag(true);
        store.root->insertChild(loose, 0);
        QCOMPARE(titlesOf(JSONWriter::documentFromTopLevelItems(store.root->children())),
                 (QStringList{"Loose", "Work"}));
    }

    void textAndTreeFormsAgree()
    {
        SampleStore store;
        store.plan->setTitle(QStringLiteral("quote \" slash \\ line\n\x01 \u00fc \U0001F600"));
        store.first->setTimeWorked(0.1);
        const QByteArray text = JSONWriter::documentJson(store.root->children());
        QJsonParseError error;
        const QJsonDocument parsed = QJsonDocument::fromJson(text, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(parsed.array(), JSONWriter::documentFromTopLevelItems(store.root->children()));

        // Text that is not well-formed UTF-16 still gives well-formed UTF-8.
        store.plan->setTitle(QString(QChar(0xD800)) + u'x');
        const QByteArray replaced = JSONWriter::documentJson(store.root->children());
        QVERIFY(replaced.contains("\"title\":\"\xEF\xBF\xBDx\""));
    }

    void exportFileIsOneCompactArray()
    {
        SampleStore store;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.Pinwheels"));
        QString error;
        QVERIFY2(JSONWriter::exportToFile(store.root->children(), path, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains('\n'));
        QVERIFY(!bytes.contains(": "));
        const QJsonDocument document = QJsonDocument::fromJson(bytes);
        QVERIFY(document.isArray());
        QCOMPARE(document.array(), JSONWriter::documentFromTopLevelItems(store.root->children()));
        QCOMPARE(bytes, JSONWriter::documentJson(store.root->children()));
    }

    void failedWriteKeepsTheOldFileAndSaysWhy()
    {
        SampleStore store;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.Pinwheels"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("[]");
        }
        // A file-size limit below the document's size makes the write itself fail.
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool written = JSONWriter::exportToFile(store.root->children(), path, &error);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!written);
        QVERIFY2(error.contains(QStringLiteral("out.Pinwheels")), qPrintable(error));
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("[]"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.Pinwheels"});

        error.clear();
        QVERIFY(!JSONWriter::exportToFile(
            store.root->children(), dir.filePath(QStringLiteral("missing/out.Pinwheels")), &error));
        QVERIFY(!error.isEmpty());
    }
};

PINWHEELS_GUILESS_TEST_MAIN(JSONWriterTest)
#include "tst_jsonwriter.moc"
