#include "IsolatedEnvironment.h"
#include "SampleStore.h"
#include "interchange/ExchangeFormat.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "store/SqliteStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <future>

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(QDir(QStringLiteral(PINWHEELS_TEST_DATA)).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

QJsonArray exportedChildren(DisplayItem* folder)
{
    return JSONWriter::documentFromTopLevelItems(folder->children());
}

template <class T>
T* only(const ObjectContext& context)
{
    const QList<T*> objects = context.fetch<T>();
    return objects.size() == 1 ? objects.first() : nullptr;
}

} // namespace

class JSONReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedDocumentChangesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* file, const char* message) {
            QTest::newRow(file) << QString::fromLatin1(file) << QString::fromUtf8(message);
        };
        row("refuse-not-json.json", "not valid JSON");
        row("refuse-invalid-utf8.json", "not valid UTF-8");
        row("refuse-top-object.json", "document: the top level must be an array");
        row("refuse-top-number-element.json", "[1]: must be an object entry");
        row("refuse-unknown-entity.json", "[0].Drawer: \"Drawer\" is not an entity");
        row("refuse-abstract-entity.json", "[0].DisplayItem: \"DisplayItem\" is not an entity");
        row("refuse-root-top.json", "[0].Root: a Root cannot be imported");
        row("refuse-root-nested.json", "[0].Folder.children[0].Root: a Root cannot be imported");
        row("refuse-text-number.json", "[0].Folder.title: must be a string");
        row("refuse-date-pattern.json",
            "[0].Kanban.column[0].KanbanColumn.item[0].ListItem.dueDate: must be a date");
        row("refuse-date-invalid.json", "ListItem.dateAdded: must be a date");
        row("refuse-colour-range.json", "[0].Folder.colour: must be a whole number");
        row("refuse-colour-fraction.json", "[0].Folder.colour: must be a whole number");
        row("refuse-boolean-text.json", "[0].Folder.export: must be true, false, 0 or 1");
        row("refuse-boolean-two.json", "ListItem.done: must be true, false, 0 or 1");
        row("refuse-notes-without-runs.json", "ListItem.attributedNotes: a rich-text object needs");
        row("refuse-notes-string.json", "ListItem.attributedNotes: a rich-text object must be");
        row("refuse-relationship-object.json", "[0].Kanban.column: must be an array");
        row("refuse-relationship-wrong-entity.json",
            "[0].Kanban.column[0].ListItem: a ListItem cannot be a member of \"column\"");
        row("refuse-tags-wrong-entity.json", "[0].Kanban.tags[0].Folder: a Folder cannot be");
        row("refuse-children-card.json", "[0].Folder.children[0].ListItem: a ListItem cannot be");
        row("refuse-element-not-entry.json", "[0].Kanban.column[0]: must be an object entry");
        row("refuse-empty-entry.json", "[0].Folder.children[0]: an empty object");
        row("refuse-attributes-not-object.json", "[0].Folder: the attribute object must be");
        row("refuse-uri-other-entity.json",
            "[1].Folder: \"objectIDURI\" shared names a KanbanColumn");
        row("refuse-folder-contains-itself.json",
            "[0].Folder.children[0].Folder.children[0].Folder: this Folder would contain itself");
        row("refuse-card-in-two-columns.json",
            "[0].Kanban.column[1].KanbanColumn.item[0].ListItem: this ListItem already belongs");
        row("refuse-uri-number.json", "[0].Folder.objectIDURI: must be a string");
        row("refuse-duplicate-member.json", "[0].Folder.title: appears twice");
        row("refuse-run-outside.json",
            "attributedNotes.runs[0].range: location 3 and length 3 lie outside the text of 5");
        row("refuse-run-overlap.json", "attributedNotes.runs: runs[0] and runs[1] overlap");
        row("refuse-run-negative.json",
            "runs[0].range: location -1 and length 2 may not be negative");
        row("refuse-run-checklist-text.json",
            "runs[0].attributes.isChecklistChecked: must be true or false");
        row("refuse-deep-path.json",
            "[0].Kanban.column[2].KanbanColumn.item[5].ListItem.priority: must be a whole number");
    }

    void refusedDocumentChangesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        SampleStore store;
        QVERIFY(store.context.save());
        const qsizetype before = SampleStore::objectCount(store.context);
        JSONReader reader(&store.context);
        const QByteArray json = fixture(file);

        QString error;
        QVERIFY(!reader.importDocument(json, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!reader.makeObjectsFromJson(json, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(SampleStore::objectCount(store.context), before);
        QVERIFY(!store.context.hasChanges());
        QVERIFY(reader.importedObjects().isEmpty());
    }

    void nestingBeyondTheLimitIsRefused()
    {
        ObjectContext context;
        JSONReader reader(&context);
        // Far past any stack: must be refused by the parser, not by a crash.
        QByteArray deep;
        for (int i = 0; i < 100000; ++i)
            deep += "[{\"Folder\":{\"children\":";
        deep += "[]";
        for (int i = 0; i < 100000; ++i)
            deep += "}}]";
        QString error;
        QVERIFY(!reader.makeObjectsFromJson(deep, &error));
        QVERIFY2(error.contains(QStringLiteral("deeper than")), qPrintable(error));

        QByteArray folders = "[]";
        for (int i = 0; i < 150; ++i)
            folders = "[{\"Folder\":{\"children\":" + folders + "}}]";
        const auto built = reader.makeObjectsFromJson(folders, &error);
        QVERIFY2(built, qPrintable(error));
        QCOMPARE(context.fetch<Folder>().size(), 150);
    }

    void documentReadsEveryForm()
    {
        ObjectContext context;
        JSONReader reader(&context);
        QString error;
        const auto objects =
            reader.makeObjectsFromJson(fixture(QStringLiteral("valid-board.json")), &error);
        QVERIFY2(objects, qPrintable(error));
        QCOMPARE(objects->size(), 1);
        auto* plan = only<Kanban>(context);
        QVERIFY(plan);
        QCOMPARE(plan->parent(), objects->first());
        QCOMPARE(plan->bgImage(), QStringLiteral("wlbackground03"));
        QCOMPARE(plan->column().size(), 2);

        // One tag object per tag, shared by the board and its cards; a later mention's other
        // members are not read.
        QCOMPARE(context.fetch<Tag>().size(), 2);
        const QList<ListItem*> cards = plan->column().first()->item();
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0]->tags(), plan->tags());
        QCOMPARE(cards[1]->tags(), QList<Tag*>{plan->tags().first()});
        QCOMPARE(plan->tags().first()->name(), QStringLiteral("urgent"));
        QCOMPARE(plan->tags().first()->kanban(), plan);

        // A title that looks like a date stays text; dates are UTC; null stays unset.
        const ListItem* card = cards[0];
        QCOMPARE(card->title(), QStringLiteral("2017-03-04 15:20:07"));
        QCOMPARE(card->dueDate(), QDateTime(QDate(2017, 3, 4), QTime(15, 20, 7), QTimeZone::utc()));
        QVERIFY(!card->doneDate().isValid());
        QCOMPARE(card->done(), std::optional<bool>(false));
        QCOMPARE(card->priority(), std::optional<qint16>(1));
        QCOMPARE(card->timeWorked(), std::optional<double>(1.5));
        QCOMPARE(cards[1]->archived(), std::optional<bool>(true));
        QVERIFY(!cards[1]->dueDate().isValid());

        // Runs count UTF-16 units; an unknown style reads as body beside the checklist state.
        const RichText notes = *card->attributedNotes();
        QCOMPARE(notes.text().size(), 22);
        QCOMPARE(notes.attributesAt(6).styleName, QStringLiteral("title"));
        QCOMPARE(notes.attributesAt(12).styleName, QStringLiteral("body"));
        QCOMPARE(notes.attributesAt(12).checklistChecked, std::optional<bool>(true));
        QCOMPARE(notes.attributesAt(20).strikethrough, 1);
        QCOMPARE(notes.attributesAt(21).attachment->fileType, QStringLiteral("image/png"));

        const RichText linked = *cards[1]->attributedNotes();
        const auto link = ExchangeFormat::decodeLink(linked.attributesAt(0).attachment->contents);
        QVERIFY(linked.attributesAt(0).attachment->isLink());
        QCOMPARE(link->url, QUrl(QStringLiteral("https://example.org/a%20b?q=1")));
        QCOMPARE(link->title, QStringLiteral("Example"));

        auto* shopping = only<List>(context);
        QCOMPARE(shopping->item().size(), 1);
        QVERIFY(!shopping->item().first()->attributedNotes());
    }

    void memberOrderCarriesNoMeaning()
    {
        // The same document with every object's members in reverse order; QJsonObject sorts
        // its members, so they are reversed in the text itself.
        const QByteArray original = fixture(QStringLiteral("valid-board.json"));
        QByteArray flipped;
        const std::function<void(const QJsonValue&)> write = [&](const QJsonValue& v) {
            if (v.isArray()) {
                flipped += '[';
                const QJsonArray a = v.toArray();
                for (qsizetype i = 0; i < a.size(); ++i) {
                    if (i)
                        flipped += ',';
                    write(a[i]);
                }
                flipped += ']';
            } else if (v.isObject()) {
                const QJsonObject o = v.toObject();
                const QStringList keys = o.keys();
                flipped += '{';
                for (qsizetype i = keys.size() - 1; i >= 0; --i) {
                    flipped += QJsonDocument(QJsonArray{keys[i]})
                                   .toJson(QJsonDocument::Compact)
                                   .mid(1)
                                   .chopped(1);
                    flipped += ':';
                    write(o.value(keys[i]));
                    if (i > 0)
                        flipped += ',';
                }
                flipped += '}';
            } else {
                flipped +=
                    QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
            }
        };
        write(QJsonDocument::fromJson(original).array());
        QVERIFY(flipped.startsWith(R"([{"Folder":{"title":"Work","objectIDURI")"));

        ObjectContext a;
        ObjectContext b;
        JSONReader readerA(&a);
        JSONReader readerB(&b);
        const auto first = readerA.makeObjectsFromJson(original);
        const auto second = readerB.makeObjectsFromJson(flipped);
        QVERIFY(first && second);
        for (StoredObject* o : {first->first(), second->first()})
            static_cast<DisplayItem*>(o)->setExportFlag(true);
        const QString difference = SampleStore::differenceIgnoringIdentities(
            JSONWriter::documentFromTopLevelItems({static_cast<DisplayItem*>(first->first())}),
            JSONWriter::documentFromTopLevelItems({static_cast<DisplayItem*>(second->first())}));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void badAttachmentsAreDroppedFromTheirRun_data()
    {
        QTest::addColumn<QString>("attachment");
        QTest::newRow("not Base64") << QStringLiteral("\"NSAttachment\":\"@@not base64@@\"");
        QTest::newRow("not a picture")
            << QStringLiteral("\"NSAttachment\":\"%1\"")
                   .arg(QString::fromLatin1(QByteArray("plain text").toBase64()));
        QTest::newRow("not a string") << QStringLiteral("\"NSAttachment\":12");
        QTest::newRow("link that is not an object") << QStringLiteral("\"NSLink\":\"x\"");
    }

    void badAttachmentsAreDroppedFromTheirRun()
    {
        QFETCH(QString, attachment);
        const QByteArray json =
            QStringLiteral("{\"string\":\"\uFFFC\",\"runs\":[{\"range\":{\"location\":0,"
                           "\"length\":1},\"attributes\":{\"NOTESTYLENAME\":"
                           "\"header\",%1}}]}")
                .arg(attachment)
                .toUtf8();
        QString error;
        const auto text = ExchangeDocument::parseRichText(json, &error);
        QVERIFY2(text, qPrintable(error));
        QCOMPARE(text->attributesAt(0).styleName, QStringLiteral("header"));
        QVERIFY(!text->attributesAt(0).attachment);
    }

    void linkWithoutUrlIsKeptWithoutTarget()
    {
        const QJsonObject notes{
            {QStringLiteral("string"), QString(RichText::attachmentCharacter)},
            {QStringLiteral("runs"),
             QJsonArray{QJsonObject{
                 {QStringLiteral("range"),
                  QJsonObject{{QStringLiteral("location"), 0}, {QStringLiteral("length"), 1}}},
                 {QStringLiteral("attributes"),
                  QJsonObject{
                      {QStringLiteral("NSLink"),
                       QJsonObject{{QStringLiteral("title"), QStringLiteral("Notes")}}}}}}}}};
        const auto text = JSONReader::attributedStringFromDict(notes);
        QVERIFY(text);
        const auto attachment = text->attributesAt(0).attachment;
        QVERIFY(attachment && attachment->isLink());
        const auto link = ExchangeFormat::decodeLink(attachment->contents);
        QVERIFY(!link->url);
        QCOMPARE(link->title, QStringLiteral("Notes"));
        // And it is written back the same way.
        QCOMPARE(JSONWriter::dictionaryRepresentation(*text), notes);
    }

    void equalPicturesSideBySide_stayTwoRunsThroughImportStoreAndExport()
    {
        const QString base64 = QString::fromLatin1(SampleStore::pngBytes().toBase64());
        const auto run = [&base64](int location, int length) {
            return QStringLiteral(R"({"range":{"location":%1,"length":%2},)"
                                  R"("attributes":{"NOTESTYLENAME":"body","NSAttachment":"%3"}})")
                .arg(location)
                .arg(length)
                .arg(base64);
        };
        // Written as one run of two by earlier versions, and as two runs of one.
        const QString notes = QStringLiteral(R"({"string":"\ufffc\ufffc","runs":[%1]})");
        const QByteArray json =
            QStringLiteral(R"([{"Kanban":{"title":"B","column":[{"KanbanColumn":{"title":"C",)"
                           R"("item":[{"ListItem":{"title":"one","attributedNotes":%1}},)"
                           R"({"ListItem":{"title":"two","attributedNotes":%2}}]}}]}}])")
                .arg(notes.arg(run(0, 2)), notes.arg(run(0, 1) + u',' + run(1, 1)))
                .toUtf8();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("store"));
        {
            QString error;
            ObjectContext context(SqliteStore::open(path, &error));
            QVERIFY(context.load(&error));
            context.insert<Root>();
            JSONReader reader(&context);
            QVERIFY2(reader.importDocument(json, &error), qPrintable(error));
            QVERIFY(context.save(&error));
        }
        QString error;
        ObjectContext reopened(SqliteStore::open(path, &error));
        QVERIFY(reopened.load(&error));
        const QList<ListItem*> cards = reopened.fetch<ListItem>();
        QCOMPARE(cards.size(), 2);
        const QJsonArray expected =
            QJsonDocument::fromJson(
                QStringLiteral("[%1]").arg(run(0, 1) + u',' + run(1, 1)).toUtf8())
                .array();
        for (const ListItem* card : cards) {
            const QJsonObject exported =
                JSONWriter::dictionaryRepresentation(*card->attributedNotes());
            QCOMPARE(exported.value(QStringLiteral("runs")).toArray(), expected);
        }
    }

    void emptyAttributesAddNothing()
    {
        const auto text = ExchangeDocument::parseRichText(
            R"({"string":"ab","runs":[{"range":{"location":1,"length":1},"attributes":{}},{"range":{"location":0,"length":1},"attributes":{"NOTESTYLENAME":"title"}}]})");
        QVERIFY(text);
        QCOMPARE(text->runs().size(), 2);
        QCOMPARE(text->attributesAt(0).styleName, QStringLiteral("title"));
        QVERIFY(text->attributesAt(1).isEmpty());
    }

    void roundTripGivesTheSameDocument()
    {
        SampleStore source;
        // A list item sent to a board is in both: written twice, built once.
        source.first->setList(source.shopping);
        const QJsonArray exported = JSONWriter::documentFromTopLevelItems(source.root->children());
        const QByteArray json = JSONWriter::documentJson(source.root->children());

        SampleStore target;
        JSONReader reader(&target.context);
        QString error;
        Folder* imported = reader.importDocument(json, &error);
        QVERIFY2(imported, qPrintable(error));
        const QString difference =
            SampleStore::differenceIgnoringIdentities(exported, exportedChildren(imported));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        const auto card = target.context.fetch<ListItem>(
            [](const ListItem& c) { return c.column() && c.list(); });
        QCOMPARE(card.size(), 1);
        QCOMPARE(card.first()->list()->title(), QStringLiteral("Shopping"));
        // Identities in the copy are the target store's own.
        QVERIFY(QJsonDocument(exportedChildren(imported))
                    .toJson()
                    .contains(target.context.storeIdentifier().toUtf8()));
    }

    void twoImportsGiveIndependentCopies()
    {
        SampleStore source;
        const QByteArray json =
            QJsonDocument(JSONWriter::documentFromTopLevelItems(source.root->children())).toJson();
        SampleStore target;
        JSONReader reader(&target.context);
        const qsizetype before = target.context.fetch<Tag>().size();
        Folder* one = reader.importDocument(json);
        Folder* two = reader.importDocument(json);
        QVERIFY(one && two && one != two);
        QCOMPARE(target.context.fetch<Tag>().size(), before + 4);
        QVERIFY(one->children().first() != two->children().first());
        QCOMPARE(one->parent(), target.root);
        QCOMPARE(two->parent(), target.root);
        QVERIFY(one->title().startsWith(QStringLiteral("Imported - ")));
    }

    void importFolderIsNamedAndPlacedUnderTheRoot()
    {
        SampleStore store;
        JSONReader reader(&store.context);
        QList<std::pair<qsizetype, qsizetype>> progress;
        // Parsing touches no context, so it may run on another thread while the window lives.
        const QByteArray json = fixture(QStringLiteral("valid-board.json"));
        auto parsing =
            std::async(std::launch::async, [&json] { return ExchangeDocument::parse(json); });
        const auto document = parsing.get();
        QVERIFY(document);
        const QDateTime before = QDateTime::currentDateTime();
        Folder* folder =
            reader.importDocument(*document, nullptr, [&](qsizetype done, qsizetype total) {
                progress.append({done, total});
            });
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(folder);
        QVERIFY(folder->title() == JSONReader::importFolderTitle(before) ||
                folder->title() == JSONReader::importFolderTitle(after));
        QVERIFY(folder->title().startsWith(QStringLiteral("Imported - ")));
        QCOMPARE(folder->parent(), store.root);
        QCOMPARE(store.root->children().last(), folder);
        QCOMPARE(folder->children().size(), 1);
        QCOMPARE(folder->children().first()->title(), QStringLiteral("Work"));
        QCOMPARE(progress.last(),
                 std::pair(document->newObjectCount(), document->newObjectCount()));
        QVERIFY(store.context.hasChanges());
        QVERIFY(reader.importedObjects().isEmpty());

        // Lists at the top level are placed too.
        const QByteArray list = R"([{"List":{"title":"L","item":[]}}])";
        Folder* withList = reader.importDocument(list);
        QVERIFY(withList);
        QCOMPARE(withList->children().first()->title(), QStringLiteral("L"));
    }

    void selectionImportsChosenEntriesWithWhatTheyHold()
    {
        SampleStore store;
        JSONReader reader(&store.context);
        const QByteArray json = R"([{"Folder":{"title":"A","children":[{"Kanban":{"title":"In A",
            "export":true,"tags":[{"Tag":{"name":"t","objectIDURI":"t"}}]}}]}},
            {"Kanban":{"title":"B","export":true,"column":[{"KanbanColumn":{"item":[
              {"ListItem":{"tags":[{"Tag":{"objectIDURI":"t"}}]}}]}}]}},
            {"List":{"title":"C"}}])";
        const auto document = ExchangeDocument::parse(json);
        QVERIFY(document);
        QCOMPARE(document->attributeValue(document->topLevel()[1].node, u"title"),
                 QVariant(QStringLiteral("B")));
        const qsizetype before = SampleStore::objectCount(store.context);
        Folder* folder = reader.importDocument(document->selectingEntries({1, 2}));
        QVERIFY(folder);
        QStringList titles;
        for (const DisplayItem* child : folder->children())
            titles.append(child->title());
        QCOMPARE(titles, (QStringList{"B", "C"}));
        // The tag first written inside the left-out folder comes along with the card.
        const auto* board = static_cast<Kanban*>(folder->children().first());
        QCOMPARE(board->column().first()->item().first()->tags().first()->name(),
                 QStringLiteral("t"));
        QCOMPARE(SampleStore::objectCount(store.context), before + 6);
    }

    void importRefusesWhatCannotLiveInTheSidebar()
    {
        SampleStore store;
        QVERIFY(store.context.save());
        JSONReader reader(&store.context);
        const QByteArray cards = R"([{"Folder":{"title":"f"}},{"ListItem":{"title":"card"}}])";
        QString error;
        QVERIFY(!reader.importDocument(cards, &error));
        QCOMPARE(error, QStringLiteral("[1].ListItem: a ListItem cannot be imported at the top "
                                       "level; only folders, boards and lists can"));
        QVERIFY(!store.context.hasChanges());

        // Pasting cards and columns builds the same entries without complaint.
        const auto built = reader.makeObjectsFromJson(cards, &error);
        QVERIFY(built);
        QCOMPARE(built->size(), 2);
        QVERIFY(built->at(1)->isKindOf(Entity::ListItem));

        ObjectContext rootless;
        JSONReader elsewhere(&rootless);
        QVERIFY(!elsewhere.importDocument(QByteArray(R"([{"Folder":{"title":"F"}}])"), &error));
        QVERIFY(error.contains(QStringLiteral("no root")));
        // Nor does an empty document make an empty folder.
        const auto objects = SampleStore::objectCount(store.context);
        QVERIFY(!reader.importDocument(QByteArray("[]"), &error));
        QVERIFY(error.contains(QStringLiteral("no folders, boards or lists")));
        QCOMPARE(SampleStore::objectCount(store.context), objects);
        QCOMPARE(SampleStore::objectCount(rootless), 0);
    }

    void identityMapCarriesAcrossPartsOfOneDocument()
    {
        ObjectContext context;
        JSONReader reader(&context);
        const auto tags = reader.makeObjectsFromJson(R"([{"Tag":{"name":"a","objectIDURI":"t"}}])");
        QVERIFY(tags);
        const auto cards = reader.makeObjectsFromJson(
            R"([{"ListItem":{"title":"c","tags":[{"Tag":{"name":"other","objectIDURI":"t"}}]}}])");
        QVERIFY(cards);
        QCOMPARE(static_cast<ListItem*>(cards->first())->tags(),
                 QList<Tag*>{static_cast<Tag*>(tags->first())});
        QString error;
        QVERIFY(!reader.makeObjectsFromJson(R"([{"Folder":{"objectIDURI":"t"}}])", &error));
        QVERIFY2(error.contains(QStringLiteral("built earlier")), qPrintable(error));

        // After the map is emptied the same identity builds a new object.
        reader.clearImportedObjects();
        const auto again =
            reader.makeObjectsFromJson(R"([{"Tag":{"name":"a","objectIDURI":"t"}}])");
        QVERIFY(again && again->first() != tags->first());
    }

    void newObjectsOnlyOfConcreteEntities()
    {
        ObjectContext context;
        JSONReader reader(&context);
        QVERIFY(!reader.insertNewObjectWithEntityName(u"Root"));
        QVERIFY(!reader.insertNewObjectWithEntityName(u"DisplayItem"));
        QVERIFY(!reader.insertNewObjectWithEntityName(u"Drawer"));
        StoredObject* card = reader.insertNewObjectWithEntityName(u"ListItem");
        QVERIFY(card && card->isKindOf(Entity::ListItem) && card->isInserted());
    }
};

PINWHEELS_GUILESS_TEST_MAIN(JSONReaderTest)
#include "tst_jsonreader.moc"
