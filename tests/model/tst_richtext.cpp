#include "IsolatedEnvironment.h"
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
        otherVersion[1] = 0x02; // the version number, the array's first element
        QVERIFY(!RichText::decode(otherVersion));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(RichTextTest)
#include "tst_richtext.moc"
