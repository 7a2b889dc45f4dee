#include "IsolatedEnvironment.h"
#include "interchange/ExchangeFormat.h"
#include "model/NoteStyle.h"
#include "notes/LinkAttachmentCell.h"
#include "notes/LinkOpener.h"
#include "notes/RichPaste.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCborMap>
#include <QCborValue>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray linkTo(const QUrl& url, const QString& title = QStringLiteral("t"))
{
    ExchangeFormat::Link link;
    link.url = url;
    link.title = title;
    link.body = QStringLiteral("body");
    return ExchangeFormat::encodeLink(link);
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes,
                  bool executable = false)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    return path;
}
} // namespace

// A link attachment's contents, its box, the rule for which links open at once, and the rule
// for rich text pasted into a line.
class LinkAttachmentTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QList<QUrl> opened;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        LinkOpener::setOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
    }
    void init()
    {
        opened.clear();
        MessageBox::takeShownAlerts();
    }

    void contents_decodeOnlyTheThreeMembers()
    {
        const auto link = ExchangeFormat::decodeLink(linkTo(QUrl(QStringLiteral("https://a.b/c"))));
        QVERIFY(link);
        QCOMPARE(*link->url, QUrl(QStringLiteral("https://a.b/c")));
        QCOMPARE(*link->body, QStringLiteral("body"));
        QCborMap extra;
        extra.insert(QStringLiteral("URL"), QStringLiteral("https://a.b/c"));
        extra.insert(QStringLiteral("launch"), QStringLiteral("/bin/sh"));
        QVERIFY(!ExchangeFormat::decodeLink(QCborValue(extra).toCbor()));
        QCborMap wrongType;
        wrongType.insert(QStringLiteral("title"), 42);
        QVERIFY(!ExchangeFormat::decodeLink(QCborValue(wrongType).toCbor()));
        QVERIFY(!ExchangeFormat::decodeLink(QCborValue(QStringLiteral("URL")).toCbor()));
        QVERIFY(!ExchangeFormat::decodeLink(QByteArray("\xff\x01", 2)));
    }

    void openRule_opensWebMailAndDocuments_andAsksForProgramsAndOtherSchemes()
    {
        using D = LinkOpener::Decision;
        const QString pdf = writeFile(dir, QStringLiteral("Plan.pdf"), "%PDF-1.4\n");
        const QString script = writeFile(dir, QStringLiteral("run.sh"), "#!/bin/sh\necho hi\n");
        const QString program = writeFile(dir, QStringLiteral("tool"),
                                          "\x7f"
                                          "ELF\x02\x01\x01",
                                          true);
        const QString launcher = writeFile(dir, QStringLiteral("app.desktop"),
                                           "[Desktop Entry]\nType=Application\nExec=sh\n");
        const QString disguised = writeFile(dir, QStringLiteral("notes.txt"), "text", true);
        const struct
        {
            QUrl url;
            D decision;
        } cases[] = {
            {QUrl(QStringLiteral("https://example.org/a")), D::Open},
            {QUrl(QStringLiteral("http://example.org")), D::Open},
            {QUrl(QStringLiteral("ftp://example.org/f")), D::Open},
            {QUrl(QStringLiteral("mailto:someone@example.org")), D::Open},
            {QUrl(QStringLiteral("message:%3Cid@example.org%3E")), D::Open},
            {QUrl::fromLocalFile(pdf), D::Open},
            {QUrl::fromLocalFile(dir.path()), D::Open},
            {QUrl::fromLocalFile(script), D::AskFirst},
            {QUrl::fromLocalFile(program), D::AskFirst},
            {QUrl::fromLocalFile(launcher), D::AskFirst},
            {QUrl::fromLocalFile(disguised), D::AskFirst},
            {QUrl(QStringLiteral("ssh://host/")), D::AskFirst},
            {QUrl(QStringLiteral("smb://host/share")), D::AskFirst},
            {QUrl(QStringLiteral("file://otherhost/etc/passwd")), D::AskFirst},
            {QUrl(), D::Nothing},
            {QUrl(QStringLiteral("no scheme")), D::Nothing},
        };
        for (const auto& c : cases)
            QVERIFY2(LinkOpener::decide(c.url) == c.decision, qPrintable(c.url.toString()));

        // A document opens without a question; a program only once the user agrees, and the
        // question names it.
        QVERIFY(LinkOpener::open(nullptr, QUrl::fromLocalFile(pdf)));
        QVERIFY(MessageBox::takeShownAlerts().isEmpty());
        MessageBox::setNextAnswer(1); // Cancel
        QVERIFY(!LinkOpener::open(nullptr, QUrl::fromLocalFile(program)));
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts.first().text.contains(program));
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(pdf)});
        MessageBox::setNextAnswer(0); // Open
        QVERIFY(LinkOpener::open(nullptr, QUrl(QStringLiteral("ssh://host/"))));
        QCOMPARE(opened.last(), QUrl(QStringLiteral("ssh://host/")));
        QVERIFY(!LinkOpener::open(nullptr, QUrl()));
        QCOMPARE(opened.size(), 2);
    }

    void face_showsTheSchemesIconTitleAndSubtitle()
    {
        using Icon = LinkAttachmentCell::Icon;
        const QString pdf = writeFile(dir, QStringLiteral("Report.pdf"), QByteArray(1500, 'x'));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString png = dir.filePath(QStringLiteral("shot.png"));
        QVERIFY(image.save(png));

        auto face = LinkAttachmentCell::faceFor(
            linkTo(QUrl(QStringLiteral("https://www.example.org/x")), QStringLiteral("Page")));
        QCOMPARE(face.icon, Icon::AtSymbol);
        QCOMPARE(face.title, QStringLiteral("Page"));
        QCOMPARE(face.subtitle, QStringLiteral("www.example.org"));
        face = LinkAttachmentCell::faceFor(linkTo(QUrl(QStringLiteral("mailto:a@b.c"))));
        QCOMPARE(face.icon, Icon::Mail);
        QVERIFY(face.subtitle.isEmpty());
        face = LinkAttachmentCell::faceFor(linkTo(QUrl::fromLocalFile(pdf)));
        QCOMPARE(face.icon, Icon::FileIcon);
        QCOMPARE(face.subtitle, QStringLiteral("1.5 kB"));
        QCOMPARE(LinkAttachmentCell::faceFor(linkTo(QUrl::fromLocalFile(png))).icon, Icon::Picture);
        face = LinkAttachmentCell::faceFor(linkTo(QUrl::fromLocalFile(dir.filePath("gone.pdf"))));
        QCOMPARE(face.icon, Icon::MissingFile);
        QCOMPARE(face.subtitle, QStringLiteral("File is missing"));
        // Another platform's file reference cannot be found here either.
        face = LinkAttachmentCell::faceFor(
            linkTo(QUrl(QStringLiteral("file:///.file/id=6571367.2773272"))));
        QCOMPARE(face.subtitle, QStringLiteral("File is missing"));
        QCOMPARE(LinkAttachmentCell::faceFor(linkTo(QUrl(QStringLiteral("gopher://h/")))).icon,
                 Icon::None);
        QCOMPARE(LinkAttachmentCell::faceFor("not cbor").icon, Icon::None);

        // Undecodable contents draw the border alone; a link draws more.
        const auto ink = [](const QByteArray& contents) {
            QImage box(LinkAttachmentCell::width, LinkAttachmentCell::height,
                       QImage::Format_ARGB32_Premultiplied);
            box.fill(Qt::white);
            QPainter painter(&box);
            LinkAttachmentCell::drawWithFrame(&painter, box.rect(), contents);
            painter.end();
            int dark = 0;
            for (int y = 4; y < box.height() - 4; ++y) {
                for (int x = 4; x < box.width() - 4; ++x)
                    dark += qGray(box.pixel(x, y)) < 200;
            }
            return dark;
        };
        QCOMPARE(ink("not cbor"), 0);
        QVERIFY(ink(linkTo(QUrl::fromLocalFile(dir.filePath("gone.pdf")))) > 50);
    }

    void richPaste_takesTheLinesStyleInsideALine_andKeepsWholeLinesAndAttachments()
    {
        const auto title = NoteStyle::attributes(NoteStyle::Title);
        const auto header = NoteStyle::attributes(NoteStyle::Header);
        const auto body = NoteStyle::attributes(NoteStyle::Body);
        RichText pasted(QStringLiteral("Heading\n"), title);
        pasted.append(RichText(QStringLiteral("Sub\n"), header));
        pasted.append(RichText(QStringLiteral("end"), title));

        // Into the middle of a body line: first and last pasted lines become body.
        RichText inside = RichPaste::adjusted(pasted, body, body);
        QCOMPARE(inside.attributesAt(0), body);
        QCOMPARE(inside.attributesAt(7), body); // the first line's line feed
        QCOMPARE(inside.attributesAt(8), header);
        QCOMPARE(inside.attributesAt(12), body);
        // Whole lines keep their own styles.
        QCOMPARE(RichPaste::adjusted(pasted, std::nullopt, std::nullopt), pasted);

        // One line without line feed takes the neighbour's attributes all through; an
        // attachment keeps itself, and a neighbouring attachment lends only its style.
        RichText::Attributes picture = body;
        picture.attachment = RichText::Attachment{QStringLiteral("image/png"), "png"};
        RichText one(QStringLiteral("a"), title);
        one.append(RichText(QString(RichText::attachmentCharacter), picture));
        RichText::Attributes checklistPicture = NoteStyle::attributes(NoteStyle::Checklist);
        checklistPicture.attachment = RichText::Attachment{QStringLiteral("image/gif"), "gif"};
        const RichText result = RichPaste::adjusted(one, checklistPicture, std::nullopt);
        QCOMPARE(result.attributesAt(0), NoteStyle::attributes(NoteStyle::Checklist));
        RichText::Attributes kept = NoteStyle::attributes(NoteStyle::Checklist);
        kept.attachment = picture.attachment;
        QCOMPARE(result.attributesAt(1), kept);
    }
};

PINWHEELS_GUI_TEST_MAIN(LinkAttachmentTest)
#include "tst_linkattachment.moc"
