#include "IsolatedEnvironment.h"
#include "model/NoteLines.h"
#include "model/NoteStyle.h"

#include <QTest>

using Range = NoteLines::Range;
using Ranges = QList<Range>;

namespace {
RichText::Attributes style(NoteStyle::Kind kind, std::optional<bool> checked = std::nullopt)
{
    RichText::Attributes attributes = NoteStyle::attributes(kind);
    if (checked)
        attributes.checklistChecked = checked;
    return attributes;
}

RichText::Attributes linked()
{
    RichText::Attributes attributes = style(NoteStyle::Body);
    attributes.attachment = RichText::Attachment{RichText::Attachment::linkFileType(), "link"};
    return attributes;
}
} // namespace

// The note styles without widgets: how a selection is cut into lines, how lines are restyled,
// and ticking a checklist line.
class NoteStyleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesInSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ranges>("selection");
        QTest::addColumn<Ranges>("lines");
        const QString three = QStringLiteral("ab\ncd\nef");
        QTest::newRow("empty text") << QString() << Ranges{{0, 0}} << Ranges{{0, 0}};
        QTest::newRow("caret in a line") << three << Ranges{{4, 0}} << Ranges{{3, 3}};
        QTest::newRow("caret before a line feed") << three << Ranges{{2, 0}} << Ranges{{0, 3}};
        QTest::newRow("caret at a line's start") << three << Ranges{{3, 0}} << Ranges{{3, 3}};
        QTest::newRow("caret at the end") << three << Ranges{{8, 0}} << Ranges{{6, 2}};
        QTest::newRow("caret on the empty last line")
            << QStringLiteral("ab\n") << Ranges{{3, 0}} << Ranges{{3, 0}};
        QTest::newRow("a whole line with its feed") << three << Ranges{{0, 3}} << Ranges{{0, 3}};
        QTest::newRow("into the next line") << three << Ranges{{1, 3}} << Ranges{{0, 3}, {3, 3}};
        QTest::newRow("all") << three << Ranges{{0, 8}} << Ranges{{0, 3}, {3, 3}, {6, 2}};
        QTest::newRow("all of a text ending with a feed")
            << QStringLiteral("ab\n") << Ranges{{0, 3}} << Ranges{{0, 3}};
        QTest::newRow("two ranges, out of order and overlapping")
            << three << Ranges{{7, 1}, {1, 0}, {4, 3}} << Ranges{{0, 3}, {3, 3}, {6, 2}};
        QTest::newRow("beyond the text")
            << QStringLiteral("ab") << Ranges{{5, 4}} << Ranges{{0, 2}};
    }

    void linesInSelection()
    {
        QFETCH(QString, text);
        QFETCH(Ranges, selection);
        QFETCH(Ranges, lines);
        QCOMPARE(NoteLines::linesInSelection(text, selection), lines);
    }

    void lines_numberEveryLine_theEmptyLastLineToo()
    {
        const QString text = QStringLiteral("a\n\nbc\n");
        QCOMPARE(NoteLines::lines(text), (Ranges{{0, 2}, {2, 1}, {3, 3}, {6, 0}}));
        QCOMPARE(NoteLines::line(text, 2), std::optional(Range{3, 3}));
        QCOMPARE(NoteLines::line(text, 3), std::optional(Range{6, 0}));
        QCOMPARE(NoteLines::line(text, 4), std::nullopt);
        QCOMPARE(NoteLines::line(text, -1), std::nullopt);
    }

    void formatWithLines_replacesOnlyTheStyle_andTogglesChecklistLines()
    {
        // A title, a ticked step, a body line with a struck link, and an open step.
        RichText text(QStringLiteral("Plan\n"), style(NoteStyle::Title));
        text.append(RichText(QStringLiteral("milk\n"), style(NoteStyle::Checklist, true)));
        RichText::Attributes struck = linked();
        struck.strikethrough = 1;
        text.append(RichText(QStringLiteral("see "), style(NoteStyle::Body)));
        text.append(RichText(QString(RichText::attachmentCharacter), struck));
        text.append(RichText(QStringLiteral("\neggs"), style(NoteStyle::Checklist)));
        const RichText original = text;

        // Header over the middle two lines: the link and its strike-through stay.
        const Ranges middle = NoteLines::linesInSelection(text.text(), {{7, 5}});
        QCOMPARE(middle, (Ranges{{5, 5}, {10, 6}}));
        QVERIFY(!NoteStyle::formatWithLines(text, middle, NoteStyle::Header));
        QCOMPARE(text.attributesAt(0), style(NoteStyle::Title));
        QCOMPARE(text.attributesAt(5), style(NoteStyle::Header));
        QCOMPARE(text.attributesAt(9), style(NoteStyle::Header));
        RichText::Attributes restyledLink = struck;
        restyledLink.styleName = QStringLiteral("header");
        QCOMPARE(text.attributesAt(14), restyledLink);
        QCOMPARE(text.attributesAt(15), style(NoteStyle::Header)); // its line feed
        QCOMPARE(text.attributesAt(16), style(NoteStyle::Checklist));
        QCOMPARE(text.text(), original.text());

        // The checklist over a checklist line and a body line: body, and an unticked step.
        text = original;
        QVERIFY(NoteStyle::formatWithLines(text, {{5, 5}, {10, 6}}, NoteStyle::Checklist));
        QCOMPARE(text.attributesAt(5), style(NoteStyle::Body));
        QCOMPARE(text.attributesAt(9), style(NoteStyle::Body));
        QCOMPARE(text.attributesAt(10), style(NoteStyle::Checklist));
        RichText::Attributes checklistLink = struck;
        checklistLink.styleName.reset();
        checklistLink.checklistChecked = false;
        QCOMPARE(text.attributesAt(14), checklistLink);

        // The empty last line has no character to restyle.
        RichText ending(QStringLiteral("a\n"), style(NoteStyle::Body));
        QVERIFY(!NoteStyle::formatWithLines(ending, {{2, 0}}, NoteStyle::Title));
        QCOMPARE(ending, RichText(QStringLiteral("a\n"), style(NoteStyle::Body)));
    }

    void formatWithLines_overThousandsOfLines_keepsEveryOtherRun()
    {
        RichText text;
        for (int i = 0; i < 3000; ++i)
            text.append(
                RichText(QStringLiteral("line %1\n").arg(i),
                         style(i % 2 ? NoteStyle::Body : NoteStyle::Checklist, i % 4 == 0)));
        RichText expected = text;
        const Ranges lines = NoteLines::linesInSelection(text.text(), {{0, text.length()}});
        QCOMPARE(lines.size(), 3000); // the empty last line is after the selection
        NoteStyle::formatWithLines(text, lines.mid(1000, 10), NoteStyle::Title);
        expected.setAttributes(lines[1000].location, lines[1009].end() - lines[1000].location,
                               style(NoteStyle::Title));
        QCOMPARE(text, expected);
    }

    void checkUncheckLine_flipsTheWholeLine_andIgnoresLinesWithoutABox()
    {
        RichText text(QStringLiteral("Plan\n"), style(NoteStyle::Title));
        text.append(RichText(QStringLiteral("milk"), style(NoteStyle::Checklist)));
        text.append(RichText(QString(RichText::attachmentCharacter), [] {
            RichText::Attributes a = linked();
            a.styleName.reset();
            a.checklistChecked = false;
            return a;
        }()));
        text.append(RichText(QStringLiteral("\n"), style(NoteStyle::Checklist)));
        QCOMPARE(NoteStyle::checkUncheckLine(text, 1), std::optional(true));
        for (qsizetype i = 5; i < text.length(); ++i)
            QCOMPARE(text.attributesAt(i).checklistChecked, std::optional(true));
        QVERIFY(text.attributesAt(9).attachment); // the link stays
        QCOMPARE(text.attributesAt(0), style(NoteStyle::Title));
        const RichText ticked = text;
        QCOMPARE(NoteStyle::checkUncheckLine(text, 0), std::nullopt); // a title has no box
        QCOMPARE(NoteStyle::checkUncheckLine(text, 2), std::nullopt); // the empty last line
        QCOMPARE(NoteStyle::checkUncheckLine(text, 7), std::nullopt); // no such line
        QCOMPARE(text, ticked);
        QCOMPARE(NoteStyle::checkUncheckLine(text, 1), std::optional(false));
        QCOMPARE(text.attributesAt(5), style(NoteStyle::Checklist));
    }

    void styleNames_nameTheirKinds()
    {
        QCOMPARE(NoteStyle::kindNamed(QStringLiteral("header")), std::optional(NoteStyle::Header));
        QCOMPARE(NoteStyle::kindNamed(QStringLiteral("Title")), std::nullopt);
        QCOMPARE(NoteStyle::kindNamed(QString()), std::nullopt);
        QVERIFY(NoteStyle::isChecklist(style(NoteStyle::Checklist, true)));
        QVERIFY(!NoteStyle::isChecklist(style(NoteStyle::Title, true)));
    }
};

PINWHEELS_GUILESS_TEST_MAIN(NoteStyleTest)
#include "tst_notestyle.moc"
