#include "IsolatedEnvironment.h"
#include "StoreTestSupport.h"
#include "model/AttachmentDigest.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "store/GraphCheck.h"
#include "store/ObjectContext.h"
#include "store/SqliteStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Attachment bytes live once each in their own table, apart from the notes that name them.
class TestAttachmentStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString freshPath(const QString& name) const
    {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        return QDir(folder).filePath(QStringLiteral("CocoaAppCD.storedata"));
    }

    static QByteArray photo(char fill, qsizetype size = 300 * 1024)
    {
        QByteArray bytes(size, fill);
        bytes.prepend("\x89PNG");
        return bytes;
    }

    static RichText pictured(const QString& text, const QList<QByteArray>& pictures)
    {
        RichText notes(text, RichText::Attributes{QStringLiteral("body"), {}, 0, {}});
        for (const QByteArray& bytes : pictures) {
            RichText::Attributes a{QStringLiteral("body"), {}, 0, {}};
            a.attachment = RichText::Attachment{QStringLiteral("image/png"), bytes};
            notes.append(RichText(QString(RichText::attachmentCharacter), a));
        }
        return notes;
    }

    static ListItem* addCard(ObjectContext& context, const RichText& notes)
    {
        auto* card = context.insert<ListItem>();
        card->setAttributedNotes(notes);
        return card;
    }

    static qint64 storedBytes(const QString& path)
    {
        return StoreTestSupport::queryInteger(path, "SELECT count(*) FROM attachment");
    }

    static ListItem* cardNumbered(const ObjectContext& context, qint64 number)
    {
        return static_cast<ListItem*>(context.objectWithNumber(number));
    }

private Q_SLOTS:
    void bytesAreKeptOnceAndReadBack()
    {
        const QString path = freshPath(QStringLiteral("once"));
        const QByteArray a = photo('a');
        qint64 first = 0;
        qint64 second = 0;
        {
            auto context = StoreTestSupport::open(path);
            QVERIFY(context);
            first =
                addCard(*context, pictured(QStringLiteral("two of a "), {a, a}))->objectNumber();
            second = addCard(*context, pictured(QStringLiteral("a again "), {a}))->objectNumber();
            QVERIFY(context->save());
        }
        QCOMPARE(storedBytes(path), 1);
        QVERIFY(StoreTestSupport::queryInteger(path, "SELECT max(length(notes)) FROM list_item") <
                1024);
        QCOMPARE(StoreTestSupport::queryInteger(path, "SELECT sum(length(bytes)) FROM attachment"),
                 a.size());

        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        QCOMPARE(cardNumbered(*context, first)->attributedNotes(),
                 std::optional(pictured(QStringLiteral("two of a "), {a, a})));
        QCOMPARE(cardNumbered(*context, second)->attributedNotes(),
                 std::optional(pictured(QStringLiteral("a again "), {a})));
        QCOMPARE(GraphCheck::check(*context, StoreTestSupport::storeOf(*context)->anomalies())
                     .filter(QStringLiteral("attachment")),
                 QStringList());
    }

    void keystrokeSavesRewriteNoBytes()
    {
        const QString path = freshPath(QStringLiteral("keystroke"));
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        RichText notes = pictured(QStringLiteral("x"), {photo('k', 2 * 1024 * 1024)});
        ListItem* card = addCard(*context, notes);
        QVERIFY(context->save());
        const qint64 pages = StoreTestSupport::queryInteger(path, "PRAGMA page_count");
        const QString wal = path + QStringLiteral("-wal");
        const qint64 journal = QFileInfo(wal).size();
        for (int i = 0; i < 20; ++i) {
            notes.replace(0, 0, RichText(QStringLiteral("y")));
            card->setAttributedNotes(notes);
            QVERIFY(context->save());
        }
        QCOMPARE(StoreTestSupport::storeOf(*context)->lastWriteRowCount(), 1);
        // Twenty saves of the 2 MB card add a few pages each to the journal, not its bytes.
        QVERIFY2(QFileInfo(wal).size() - journal < 20 * 8 * 4096,
                 qPrintable(QString::number(QFileInfo(wal).size() - journal)));
        QCOMPARE(StoreTestSupport::queryInteger(path, "PRAGMA page_count"), pages);
    }

    void bytesGoWithTheirLastReferenceAndComeBack()
    {
        const QString path = freshPath(QStringLiteral("removal"));
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        const QByteArray a = photo('a');
        const QByteArray b = photo('b');
        ListItem* one = addCard(*context, pictured(QStringLiteral("1 "), {a, b}));
        ListItem* two = addCard(*context, pictured(QStringLiteral("2 "), {a}));
        QVERIFY(context->save());
        QCOMPARE(storedBytes(path), 2);

        one->setAttributedNotes(pictured(QStringLiteral("1 "), {a}));
        QVERIFY(context->save());
        QCOMPARE(storedBytes(path), 1); // b went with its only card
        context->deleteObject(one);
        QVERIFY(context->save());
        QCOMPARE(storedBytes(path), 1); // a is still on the second card
        two->setAttributedNotes(RichText(QStringLiteral("no pictures")));
        QVERIFY(context->save());
        QCOMPARE(storedBytes(path), 0);

        // Undo puts the notes back with their bytes, which are stored again.
        two->setAttributedNotes(pictured(QStringLiteral("2 "), {a}));
        QVERIFY(context->save());
        QCOMPARE(storedBytes(path), 1);
        const qint64 twoNumber = two->objectNumber();
        context.reset();
        context = StoreTestSupport::open(path);
        QVERIFY(context);
        QCOMPARE(cardNumbered(*context, twoNumber)->attributedNotes(),
                 std::optional(pictured(QStringLiteral("2 "), {a})));
    }

    void open_removesBytesNoNotesName()
    {
        const QString path = freshPath(QStringLiteral("unnamed"));
        const QByteArray a = photo('a');
        qint64 number = 0;
        {
            auto context = StoreTestSupport::open(path);
            QVERIFY(context);
            number = addCard(*context, pictured(QStringLiteral("kept "), {a}))->objectNumber();
            QVERIFY(context->save());
        }
        // Bytes nothing names, and a card whose list of digests was lost though its notes
        // still name them.
        QVERIFY(StoreTestSupport::execute(path,
                                          "INSERT INTO attachment VALUES (x'00112233', x'ffff');"
                                          "UPDATE list_item SET attachments = NULL"));
        QCOMPARE(storedBytes(path), 2);
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        QCOMPARE(storedBytes(path), 1);
        QCOMPARE(cardNumbered(*context, number)->attributedNotes(),
                 std::optional(pictured(QStringLiteral("kept "), {a})));
    }

    void missingBytes_areReportedAndShownAsMissing()
    {
        const QString path = freshPath(QStringLiteral("missing"));
        qint64 number = 0;
        {
            auto context = StoreTestSupport::open(path);
            QVERIFY(context);
            number =
                addCard(*context, pictured(QStringLiteral("lost "), {photo('l')}))->objectNumber();
            QVERIFY(context->save());
        }
        QVERIFY(StoreTestSupport::execute(path, "DELETE FROM attachment"));
        auto context = StoreTestSupport::open(path);
        QVERIFY(context);
        const QStringList problems =
            GraphCheck::check(*context, StoreTestSupport::storeOf(*context)->anomalies());
        QCOMPARE(problems.filter(QStringLiteral("not in the store")).size(), 1);
        QVERIFY(problems.filter(QStringLiteral("not in the store"))
                    .first()
                    .contains(QStringLiteral("ListItem p%1").arg(number)));
        ListItem* card = cardNumbered(*context, number);
        const auto notes = card->attributedNotes();
        QVERIFY(notes);
        QCOMPARE(notes->text(), QStringLiteral("lost ") + RichText::attachmentCharacter);
        QCOMPARE(notes->attributesAt(5).attachment,
                 std::optional(RichText::Attachment{QStringLiteral("image/png"), {}}));
        // Editing the card saves it with the attachment still in place.
        RichText edited = *notes;
        edited.append(RichText(QStringLiteral("!")));
        card->setAttributedNotes(edited);
        QVERIFY(context->save());
    }

    void open_migratesStoreOfFirstVersion()
    {
        const QString path = freshPath(QStringLiteral("migration"));
        const QByteArray a = photo('m');
        QList<qint64> numbers;
        {
            // The store as the first version writes it: every card's bytes in its notes.
            QString error;
            auto store = SqliteStore::open(path, {}, &error);
            QVERIFY2(store, qPrintable(error));
            QCOMPARE(store->schemaVersion(), 1);
            ObjectContext context(std::move(store));
            QVERIFY(context.load(&error));
            StoreTestSupport::buildSample(context);
            numbers.append(
                addCard(context, pictured(QStringLiteral("a "), {a, a}))->objectNumber());
            numbers.append(addCard(context, pictured(QStringLiteral("a "), {a}))->objectNumber());
            for (const qint64 number : numbers)
                context.fetch<KanbanColumn>().first()->insertItem(cardNumbered(context, number));
            QVERIFY(context.save(&error));
        }
        QVERIFY(StoreTestSupport::queryInteger(path, "SELECT max(length(notes)) FROM list_item") >
                a.size());
        const QByteArray original = StoreTestSupport::checksum(path);

        QString error;
        auto migrated = StoreTestSupport::open(path, &error);
        QVERIFY2(migrated, qPrintable(error));
        QCOMPARE(StoreTestSupport::storeOf(*migrated)->schemaVersion(), 2);
        const QString backup = path + QStringLiteral(".v1.backup");
        QCOMPARE(StoreTestSupport::checksum(backup), original);
        QCOMPARE(StoreTestSupport::queryInteger(backup, "PRAGMA user_version"), 1);
        // The sample's small picture and the photo, once each.
        QCOMPARE(storedBytes(path), 2);
        QVERIFY(StoreTestSupport::queryInteger(path, "SELECT max(length(notes)) FROM list_item") <
                4096);

        ObjectContext expected;
        StoreTestSupport::buildSample(expected);
        addCard(expected, pictured(QStringLiteral("a "), {a, a}));
        addCard(expected, pictured(QStringLiteral("a "), {a}));
        for (const qint64 number : numbers)
            expected.fetch<KanbanColumn>().first()->insertItem(cardNumbered(expected, number));
        QCOMPARE(StoreTestSupport::differences(expected, *migrated), QStringList());
        const QStringList problems =
            GraphCheck::check(*migrated, StoreTestSupport::storeOf(*migrated)->anomalies());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    void snapshot_keepsTheBytesItRead()
    {
        const QString path = freshPath(QStringLiteral("snapshot"));
        const QByteArray a = photo('s');
        auto writer = StoreTestSupport::open(path);
        QVERIFY(writer);
        ListItem* card = addCard(*writer, pictured(QStringLiteral("seen "), {a}));
        QVERIFY(writer->save());
        QString error;
        auto readOnly = SqliteStore::openReadOnly(path, &error);
        QVERIFY2(readOnly, qPrintable(error));
        ObjectContext snapshot(std::move(readOnly));
        QVERIFY(snapshot.load(&error));
        // The writer drops the picture after the snapshot was read.
        card->setAttributedNotes(RichText(QStringLiteral("gone")));
        QVERIFY(writer->save());
        QCOMPARE(storedBytes(path), 0);
        QCOMPARE(cardNumbered(snapshot, card->objectNumber())->attributedNotes(),
                 std::optional(pictured(QStringLiteral("seen "), {a})));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(TestAttachmentStore)
#include "tst_attachmentstore.moc"
