#include "IsolatedEnvironment.h"
#include "model/AttachmentDigest.h"
#include "model/RichText.h"

#include <QTest>

namespace {
RichText::Attributes style(const QString& name)
{
    RichText::Attributes a;
    a.styleName = name;
    return a;
}
} // namespace

class RichTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsStayMaximalAndCoverTheText()
    {
        RichText text(QStringLiteral("Title\nbody line"), style(QStringLiteral("body")));
        text.setAttributes(0, 6, style(QStringLiteral("title")));
        QCOMPARE(text.runs().size(), 2);
        QCOMPARE(text.runs()[1].location, 6);
        QCOMPARE(text.runs()[1].length, 9);

        // Restyling the second part the same merges the runs again.
        text.setAttributes(6, 100, style(QStringLiteral("title")));
        QCOMPARE(text.runs().size(), 1);
        QCOMPARE(text.runs()[0].length, text.length());

        text.changeAttributes(2, 2, [](RichText::Attributes& a) { a.strikethrough = 1; });
        QCOMPARE(text.runs().size(), 3);
        QCOMPARE(text.attributesAt(3).strikethrough, 1);
        QCOMPARE(text.attributesAt(4).strikethrough, 0);
        QCOMPARE(text.attributesAt(text.length()), RichText::Attributes{});
    }

    void runsBuildTheTextInOrderOnly()
    {
        const RichText::Run title{1, 2, style(QStringLiteral("title"))};
        const RichText::Run body{4, 1, style(QStringLiteral("body"))};
        const auto text = RichText::fromRuns(QStringLiteral("abcdef"), {title, body});
        QVERIFY(text);
        QCOMPARE(text->runs().size(), 5); // gaps before, between and after have no attributes
        QCOMPARE(text->attributesAt(2).styleName, QStringLiteral("title"));
        QVERIFY(text->attributesAt(3).isEmpty());
        QVERIFY(!RichText::fromRuns(QStringLiteral("abcdef"), {body, title}));
        QVERIFY(!RichText::fromRuns(QStringLiteral("abc"), {body}));
        QVERIFY(!RichText::fromRuns(QStringLiteral("abcdef"), {{-1, 2, {}}}));
    }

    void editingKeepsAttributesInPlace()
    {
        RichText text(QStringLiteral("abc"), style(QStringLiteral("title")));
        text.append(RichText(QStringLiteral("\ndef"), style(QStringLiteral("body"))));
        text.replace(1, 1, RichText(QStringLiteral("XY")));
        QCOMPARE(text.text(), QStringLiteral("aXYc\ndef"));
        QCOMPARE(text.attributesAt(0).styleName, QStringLiteral("title"));
        QVERIFY(!text.attributesAt(1).styleName);
        QCOMPARE(text.attributesAt(3).styleName, QStringLiteral("title"));
        QCOMPARE(text.attributesAt(5).styleName, QStringLiteral("body"));

        const RichText part = text.mid(3, 3);
        QCOMPARE(part.text(), QStringLiteral("c\nd"));
        QCOMPARE(part.runs().size(), 2);
        QCOMPARE(part.runs()[1].location, 1);

        text.replace(0, text.length(), RichText());
        QVERIFY(text.isEmpty());
        QVERIFY(text.runs().isEmpty());
    }

    void positionsCountUtf16Units()
    {
        // U+1F600 takes two code units, as the exchange document counts them.
        RichText text(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                        "b"));
        QCOMPARE(text.length(), 4);
        text.setAttributes(1, 2, style(QStringLiteral("header")));
        QCOMPARE(text.runs()[1].length, 2);
        QCOMPARE(text.attributesAt(3), RichText::Attributes{});
    }

    void encodingRoundTripsAndRefusesForeignBytes()
    {
        RichText text(QStringLiteral("Shopping\nmilk\n\uFFFC"), style(QStringLiteral("body")));
        text.setAttributes(0, 9, style(QStringLiteral("title")));
        text.changeAttributes(9, 5, [](RichText::Attributes& a) { a.checklistChecked = true; });
        text.changeAttributes(14, 1, [](RichText::Attributes& a) {
            a.attachment =
                RichText::Attachment{RichText::Attachment::linkFileType(), "\xa1\x63URL"};
        });
        text.changeAttributes(0, 3, [](RichText::Attributes& a) { a.strikethrough = 1; });

        const QByteArray encoded = text.encode();
        QCOMPARE(RichText::decode(encoded), std::optional<RichText>(text));
        QCOMPARE(RichText::decode(RichText().encode()), std::optional<RichText>(RichText()));

        QVERIFY(!RichText::decode(QByteArray()));
        QVERIFY(!RichText::decode(encoded.left(encoded.size() - 3)));
        QVERIFY(!RichText::decode("not cbor at all"));
        QByteArray otherVersion = encoded;
        otherVersion[1] = 0x07; // the version number, the array's first element
        QVERIFY(!RichText::decode(otherVersion));
    }

    void equalAttachmentsSideBySideStayOneRunEach()
    {
        RichText::Attributes picture = style(QStringLiteral("body"));
        picture.attachment = RichText::Attachment{QStringLiteral("image/png"), "same bytes"};
        const QString two(2, RichText::attachmentCharacter);
        RichText text(QStringLiteral("a") + two + QStringLiteral("b"),
                      style(QStringLiteral("body")));
        text.setAttributes(1, 2, picture);
        QCOMPARE(text.runs().size(), 4);
        QCOMPARE(text.runs()[1], (RichText::Run{1, 1, picture}));
        QCOMPARE(text.runs()[2], (RichText::Run{2, 1, picture}));

        // Built from one run of two, edited around and cut out, they stay apart.
        const auto built = RichText::fromRuns(two, {{0, 2, picture}});
        QVERIFY(built);
        QCOMPARE(built->runs().size(), 2);
        text.replace(0, 1, RichText(QStringLiteral("xy"), style(QStringLiteral("body"))));
        QCOMPARE(text.mid(2, 2).runs().size(), 2);
        QCOMPARE(RichText::decode(text.encode())->runs(), text.runs());
    }

    void bytesApartAreNamedByDigestAndLookedUp()
    {
        const QByteArray photo(100 * 1024, 'p'); // large enough for the digest to be remembered
        RichText::Attributes picture = style(QStringLiteral("body"));
        picture.attachment = RichText::Attachment{QStringLiteral("image/jpeg"), photo};
        RichText::Attributes link = style(QStringLiteral("body"));
        link.attachment = RichText::Attachment{RichText::Attachment::linkFileType(), "\xa0"};
        RichText text(QStringLiteral("photos "), style(QStringLiteral("body")));
        for (const auto& a : {picture, picture, link})
            text.append(RichText(QString(RichText::attachmentCharacter), a));

        QList<RichText::BytesApart> apart;
        const QByteArray encoded = text.encodeApart(&apart);
        const QByteArray digest = AttachmentDigest::of(photo);
        QCOMPARE(digest.size(), AttachmentDigest::size);
        QCOMPARE(apart, (QList<RichText::BytesApart>{{digest, photo}}));
        QVERIFY(encoded.size() < 1024); // the bytes are not in it; the link is
        QVERIFY(encoded.contains(digest));

        QList<QByteArray> asked;
        const auto decoded = RichText::decode(encoded, [&](const QByteArray& d) {
            asked.append(d);
            return d == digest ? std::optional<QByteArray>(photo) : std::nullopt;
        });
        QCOMPARE(decoded, std::optional<RichText>(text));
        QCOMPARE(asked, (QList<QByteArray>{digest, digest}));

        // Bytes that cannot be found leave the attachment in place, typed, without contents.
        const auto missing = RichText::decode(encoded);
        QVERIFY(missing);
        QCOMPARE(missing->text(), text.text());
        QCOMPARE(missing->attributesAt(7).attachment,
                 std::optional(RichText::Attachment{QStringLiteral("image/jpeg"), {}}));
        QCOMPARE(missing->attributesAt(9), link);
        // The self-contained form never names bytes by digest.
        QByteArray forged = text.encode();
        QVERIFY(forged.contains(QByteArray("\x04\x5a"))); // contents: a long byte string
        forged.replace(QByteArray("\x04\x5a"), QByteArray("\x05\x5a"));
        QVERIFY(!RichText::decode(forged));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(RichTextTest)
#include "tst_richtext.moc"
