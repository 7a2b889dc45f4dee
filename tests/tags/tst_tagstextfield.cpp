#include "IsolatedEnvironment.h"
#include "appearance/Palette.h"
#include "tags/TagTokenPainter.h"
#include "tags/TagsTextField.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

// The token field inside a window, with a second field to move the focus to.
struct Window
{
    Window()
    {
        auto* layout = new QVBoxLayout(&widget);
        layout->addWidget(field);
        layout->addWidget(other);
        widget.resize(320, 120);
        widget.show();
        QApplication::setActiveWindow(&widget);
        field->setFocus();
    }
    QWidget widget;
    TagsTextField* field = new TagsTextField;
    QLineEdit* other = new QLineEdit;
};

class TagsTextFieldTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typing_commasAndReturn_makeTokens_skippingEmptyNames()
    {
        Window window;
        QSignalSpy finished(window.field, &TagsTextField::editingFinished);
        QTest::keyClicks(window.field->lineEdit(), QStringLiteral("a,,b"));
        QCOMPARE(window.field->tokens(), QStringList{QStringLiteral("a")});
        QCOMPARE(window.field->lineEdit()->text(), QStringLiteral("b"));
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Return);
        QCOMPARE(window.field->tokens(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QVERIFY(window.field->lineEdit()->text().isEmpty());
        QCOMPARE(finished.count(), 0);
        // Return on empty text ends editing.
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Return);
        QCOMPARE(finished.count(), 1);
    }

    void typing_keepsLetterCase_soNamesDifferingInCaseAreTwoTokens()
    {
        Window window;
        QTest::keyClicks(window.field->lineEdit(), QStringLiteral("Urgent,urgent,"));
        QCOMPARE(window.field->tokens(),
                 (QStringList{QStringLiteral("Urgent"), QStringLiteral("urgent")}));
    }

    void backspace_atTheStart_removesTheLastToken_elsewhereEditsText()
    {
        Window window;
        window.field->setTokens({QStringLiteral("one"), QStringLiteral("two")});
        QTest::keyClicks(window.field->lineEdit(), QStringLiteral("th"));
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(window.field->lineEdit()->text(), QStringLiteral("t"));
        QCOMPARE(window.field->tokens().size(), 2);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(window.field->tokens(), QStringList{QStringLiteral("one")});
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace); // nothing left: harmless
        QVERIFY(window.field->tokens().isEmpty());
    }

    void arrowKeys_selectATokenForDelete()
    {
        Window window;
        window.field->setTokens(
            {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Left);
        QCOMPARE(window.field->selectedToken(), 2);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Left);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Delete);
        QCOMPARE(window.field->tokens(),
                 (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
        QCOMPARE(window.field->selectedToken(), -1);
        // A click selects a token too.
        QTest::mouseClick(window.field, Qt::LeftButton, {}, window.field->tokenRect(0).center());
        QCOMPARE(window.field->selectedToken(), 0);
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(window.field->tokens(), QStringList{QStringLiteral("three")});
    }

    void leavingTheField_turnsTheTextIntoATokenAndEndsEditingOnce()
    {
        Window window;
        QSignalSpy finished(window.field, &TagsTextField::editingFinished);
        QTest::keyClicks(window.field->lineEdit(), QStringLiteral("home"));
        QTest::keyClick(window.field->lineEdit(), Qt::Key_Tab);
        QTRY_VERIFY(window.other->hasFocus());
        QCOMPARE(window.field->tokens(), QStringList{QStringLiteral("home")});
        QCOMPARE(finished.count(), 1);
    }

    void completion_offersMissingNamesByPrefixIgnoringCase_inTheGivenOrder()
    {
        Window window;
        window.field->setTokens({QStringLiteral("Uphill")});
        window.field->setCompletionSource([] {
            return QStringList{QStringLiteral("urgent"), QStringLiteral("Later"),
                               QStringLiteral("Uphill"), QStringLiteral("Ugly")};
        });
        window.other->setFocus();
        window.field->setFocus();
        QTest::keyClicks(window.field->lineEdit(), QStringLiteral("U"));
        QCompleter* completer = window.field->completer();
        QTRY_VERIFY(completer->popup()->isVisible());
        QStringList offered;
        for (int row = 0; row < completer->completionModel()->rowCount(); ++row)
            offered.append(completer->completionModel()->index(row, 0).data().toString());
        QCOMPARE(offered, (QStringList{QStringLiteral("urgent"), QStringLiteral("Ugly")}));

        QTest::keyClick(completer->popup(), Qt::Key_Down);
        QTest::keyClick(completer->popup(), Qt::Key_Return);
        QTRY_COMPARE(window.field->tokens(),
                     (QStringList{QStringLiteral("Uphill"), QStringLiteral("urgent")}));
        QVERIFY(window.field->lineEdit()->text().isEmpty());
        QVERIFY(window.field->lineEdit()->hasFocus());
    }

    void tokens_arePaintedInTheirTagColour_greyWithoutOne()
    {
        Window window;
        window.field->setTokens({QStringLiteral("blue"), QStringLiteral("plain")});
        window.field->setTokenColour([](const QString& name) {
            return name == QLatin1String("blue") ? std::optional<int>(4) : std::nullopt;
        });
        const QImage image = window.field->grab().toImage();
        const auto fillAt = [&](int token) {
            const QRect r = window.field->tokenRect(token);
            return QColor(image.pixel(r.left() + 4, r.center().y()));
        };
        QCOMPARE(fillAt(0), Palette::colour(4));
        QCOMPARE(fillAt(1), TagTokenPainter::fillColour(std::nullopt));
    }
};

PINWHEELS_GUI_TEST_MAIN(TagsTextFieldTest)
#include "tst_tagstextfield.moc"
