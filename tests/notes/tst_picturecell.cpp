#include "IsolatedEnvironment.h"
#include "model/NoteFormat.h"
#include "notes/NotesDocument.h"
#include "notes/NotesTextView.h"
#include "notes/PictureAttachmentCell.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QtEndian>

namespace {

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A small, valid PNG whose header claims width × height: a decompression bomb's header.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QByteArray bytes = png(small);
    // The signature (8), IHDR's length (4) and type (4), then its width and height.
    qToBigEndian(width, bytes.data() + 16);
    qToBigEndian(height, bytes.data() + 20);
    qToBigEndian(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

RichText pictureNotes(const QByteArray& bytes)
{
    RichText text(QStringLiteral("Look:\n"), NoteStyle::attributes(NoteStyle::Body));
    RichText::Attributes picture = NoteStyle::attributes(NoteStyle::Body);
    picture.attachment = RichText::Attachment{QStringLiteral("image/png"), bytes};
    text.append(RichText(QString(RichText::attachmentCharacter), picture));
    return text;
}

QImage render(QTextDocument* document)
{
    QImage canvas(document->size().toSize(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    document->drawContents(&painter);
    return canvas;
}

} // namespace

// Pictures in notes: drawn no wider than the text, decoded once, and a placeholder for any
// picture too large to decode.
class PictureCellTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picture_isScaledToTheTextAndDecodedOnce()
    {
        QImage red(600, 300, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QByteArray bytes = png(red);
        PictureAttachmentCell* cell = PictureAttachmentCell::instance();
        const int before = cell->decodeCount();

        QTextDocument document;
        NotesDocument::setRichText(&document, pictureNotes(bytes));
        NotesDocument::prepare(&document, 220.0); // 200 wide for the text
        const QImage first = render(&document);
        QCOMPARE(document.textWidth(), 200.0);
        QVERIFY2(document.size().height() > 100.0,
                 qPrintable(QString::number(document.size().height())));
        QVERIFY(document.size().height() < 150.0);
        const QRectF line = document.documentLayout()->blockBoundingRect(document.lastBlock());
        QCOMPARE(first.pixelColor(100, int(line.top()) + 50), QColor(Qt::red));

        // Painted again, and in another card of the same width: no further decoding.
        render(&document);
        QTextDocument other;
        NotesDocument::setRichText(&other, pictureNotes(bytes));
        NotesDocument::prepare(&other, 220.0);
        render(&other);
        QCOMPARE(cell->decodeCount(), before + 1);
        // The document still holds the bytes as they came.
        QCOMPARE(NotesDocument::richText(&document), pictureNotes(bytes));
    }

    void typingAfterAPicture_givesPlainLetters()
    {
        QImage red(40, 20, QImage::Format_RGB32);
        red.fill(Qt::red);
        NotesTextView editor;
        editor.resize(300, 200);
        editor.setRichText(pictureNotes(png(red)));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.moveCursor(QTextCursor::End);
        QTest::keyClicks(&editor, QStringLiteral("ab"));
        const RichText typed = editor.richText();
        QCOMPARE(typed.text(),
                 QStringLiteral("Look:\n") + RichText::attachmentCharacter + QStringLiteral("ab"));
        QVERIFY(typed.attributesAt(6).attachment);
        QCOMPARE(typed.attributesAt(7), NoteStyle::attributes(NoteStyle::Body));
        QCOMPARE(typed.attributesAt(8), NoteStyle::attributes(NoteStyle::Body));
    }

    void hugePictureHeader_drawsPlaceholderAndKeepsBytes()
    {
        for (const auto& [width, height] : {std::pair(100000u, 100000u), std::pair(5000u, 5000u)}) {
            const QByteArray bomb = pngClaiming(width, height);
            PictureAttachmentCell* cell = PictureAttachmentCell::instance();
            QCOMPARE(QImage::fromData(pngClaiming(4, 4)).size(), QSize(4, 4)); // the forgery reads
            const int before = cell->decodeCount();
            QVERIFY(!cell->pictureSize(bomb).isValid());
            QVERIFY(cell->picture(bomb, QSize(200, 200)).isNull());

            QTextDocument document;
            NotesDocument::setRichText(&document, pictureNotes(bomb));
            NotesDocument::prepare(&document, 420.0);
            const QImage canvas = render(&document);
            const QRectF line = document.documentLayout()->blockBoundingRect(document.lastBlock());
            QVERIFY(line.height() >= PictureAttachmentCell::placeholderSize.height());
            QVERIFY(line.height() < PictureAttachmentCell::placeholderSize.height() + 20);
            QVERIFY(canvas.pixelColor(2, int(line.top() + line.height() / 2)) != QColor(Qt::white));
            QCOMPARE(cell->decodeCount(), before);
            QCOMPARE(NotesDocument::richText(&document), pictureNotes(bomb));
        }
    }
};

PINWHEELS_GUI_TEST_MAIN(PictureCellTest)
#include "tst_picturecell.moc"
