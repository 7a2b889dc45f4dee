#include "ThumbnailPainter.h"

#include "BoardSketch.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The seven colours that boards and tags choose from.
constexpr std::array<QRgb, 7> Palette = {0xFF9591, 0xFFBF88, 0xFFE488, 0x9DEB86,
                                         0x88DBFA, 0xDAC1F5, 0xCFCBCB};

// Board geometry, in points.
constexpr double Margin = 8.0;
constexpr double BottomMargin = 6.0;
constexpr double ColumnGap = 5.0;
constexpr double MinimumColumnWidth = 25.0;
constexpr double MaximumColumnWidth = 46.0;
constexpr double AddColumnSpace = 9.0;
constexpr double HeaderHeight = 10.0;
constexpr double AddCardRowHeight = 7.0;
constexpr double CardInset = 2.0;
constexpr double CardGap = 2.2;

// Card geometry, in points.
constexpr double CardPadding = 2.2;
constexpr double TitleRowHeight = 3.6;
constexpr double LineStep = 2.5;
constexpr double HeaderStep = 2.9;
constexpr double TagRowHeight = 3.4;
constexpr int MaximumStubRows = 4;
// How many characters fill one line of a card, by style: they set how long
// a stub is drawn.
constexpr int CharactersPerRow = 44;
constexpr int TitleCharactersPerRow = 26;
constexpr int HeaderCharactersPerRow = 34;
constexpr int ColumnTitleCharacters = 20;

const QColor Ink(58, 62, 72);
const QColor Pencil(150, 155, 165);
const QColor Flag(0xDF, 0x69, 0x69);

QColor mixed(const QColor& colour, const QColor& other, double amountOfOther)
{
    const auto channel = [amountOfOther](int a, int b) {
        return int(std::lround(a + (b - a) * amountOfOther));
    };
    return QColor(channel(colour.red(), other.red()), channel(colour.green(), other.green()),
                  channel(colour.blue(), other.blue()));
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

void fillRounded(QPainter& painter, const QRectF& rect, double radius, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(rect, radius, radius);
}

// A bar that stands for a line of text: as long as the text would run, up to
// the full width, where a full line holds charactersPerLine characters.
void paintStub(QPainter& painter, QPointF origin, double fullWidth, int characters,
               int charactersPerLine, double thickness, const QColor& colour)
{
    const double width =
        std::clamp(fullWidth * characters / charactersPerLine, thickness * 2, fullWidth);
    fillRounded(painter, QRectF(origin, QSizeF(width, thickness)), thickness / 2, colour);
}

void paintPlus(QPainter& painter, QPointF centre, double size, const QColor& colour)
{
    painter.setPen(QPen(colour, 0.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre - QPointF(size / 2, 0), centre + QPointF(size / 2, 0));
    painter.drawLine(centre - QPointF(0, size / 2), centre + QPointF(0, size / 2));
}

// One row of a card's sketch below its heading.
struct StubRow
{
    enum class Kind
    {
        Heading,
        Checklist,
        Text
    };
    Kind kind = Kind::Text;
    int characters = 0;
    bool checked = false;
};

// The rows a card shows below its heading: none while it is folded, and at
// most MaximumStubRows, long body lines wrapping over several rows.
QList<StubRow> stubRowsOf(const CardSketch& card)
{
    QList<StubRow> rows;
    if (!card.expanded)
        return rows;
    for (qsizetype index = 1; index < card.lines.size(); ++index) {
        const LineSketch& line = card.lines[index];
        switch (line.kind) {
        case LineSketch::Kind::Title:
        case LineSketch::Kind::Header:
            rows.append({StubRow::Kind::Heading, line.length, false});
            break;
        case LineSketch::Kind::Checklist:
            rows.append({StubRow::Kind::Checklist, line.length, line.checked});
            break;
        case LineSketch::Kind::Body:
            for (int left = std::max(line.length, 1); left > 0; left -= CharactersPerRow)
                rows.append({StubRow::Kind::Text, std::min(left, CharactersPerRow), false});
            break;
        }
    }
    if (rows.size() > MaximumStubRows)
        rows.resize(MaximumStubRows);
    return rows;
}

double stepOf(const StubRow& row)
{
    return row.kind == StubRow::Kind::Heading ? HeaderStep : LineStep;
}

void paintStubRow(QPainter& painter, const StubRow& row, QPointF origin, double width)
{
    switch (row.kind) {
    case StubRow::Kind::Heading:
        paintStub(painter, origin + QPointF(0, 0.6), width, row.characters, HeaderCharactersPerRow,
                  1.6, withAlpha(Ink, 190));
        break;
    case StubRow::Kind::Checklist: {
        const QRectF tick(origin + QPointF(0.2, 0.2), QSizeF(1.8, 1.8));
        if (row.checked) {
            fillRounded(painter, tick, 0.35, withAlpha(Ink, 150));
        } else {
            painter.setPen(QPen(Pencil, 0.4));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(tick.adjusted(0.2, 0.2, -0.2, -0.2), 0.3, 0.3);
        }
        paintStub(painter, origin + QPointF(3.0, 0.5), width - 3.0, row.characters,
                  CharactersPerRow, 1.2, Pencil);
        break;
    }
    case StubRow::Kind::Text:
        paintStub(painter, origin + QPointF(0, 0.5), width, row.characters, CharactersPerRow, 1.2,
                  Pencil);
        break;
    }
}

} // namespace

ThumbnailPainter::ThumbnailPainter(double pixelRatio)
    : m_pixelRatio(pixelRatio)
{}

QColor ThumbnailPainter::paletteColour(int index)
{
    const bool inPalette = index >= 0 && index < int(Palette.size());
    return QColor::fromRgb(Palette[inPalette ? std::size_t(index) : 0]);
}

QImage ThumbnailPainter::paint(const BoardSketch& board) const
{
    QImage image(
        QSize(int(std::lround(Width * m_pixelRatio)), int(std::lround(Height * m_pixelRatio))),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_pixelRatio, m_pixelRatio);
    paintBackground(painter, board.colour);

    const qsizetype count = std::max<qsizetype>(1, board.columns.size());
    const double available = Width - 2 * Margin - AddColumnSpace - ColumnGap * double(count - 1);
    const double columnWidth =
        std::clamp(available / double(count), MinimumColumnWidth, MaximumColumnWidth);

    // Like a board scrolled to its start: columns that do not fit run off the edge.
    double x = Margin;
    for (const ColumnSketch& column : board.columns) {
        if (x >= Width)
            break;
        const QRectF frame(x, Margin, columnWidth, Height - Margin - BottomMargin);
        paintColumn(painter, column, frame);
        x += columnWidth + ColumnGap;
    }
    if (x + AddColumnSpace / 2 < Width)
        paintAddColumnButton(painter, QPointF(x + 2.5, Margin + HeaderHeight / 2));
    painter.end();
    return image;
}

void ThumbnailPainter::paintBackground(QPainter& painter, int boardColour) const
{
    const QColor tint = paletteColour(boardColour);
    QLinearGradient gradient(QPointF(0, 0), QPointF(Width * 0.35, Height));
    gradient.setColorAt(0.0, mixed(tint, Qt::white, 0.45));
    gradient.setColorAt(1.0, mixed(mixed(tint, QColor(120, 130, 150), 0.18), Qt::white, 0.25));
    painter.fillRect(QRectF(0, 0, Width, Height), gradient);
}

void ThumbnailPainter::paintColumn(QPainter& painter, const ColumnSketch& column,
                                   QRectF frame) const
{
    double contentHeight = HeaderHeight;
    for (const CardSketch& card : column.cards)
        contentHeight += cardHeight(card) + CardGap;
    contentHeight += AddCardRowHeight;
    const QRectF panel(frame.topLeft(),
                       QSizeF(frame.width(), std::min(contentHeight, frame.height())));

    fillRounded(painter, panel.translated(0, 0.5), 3.5, QColor(40, 50, 70, 22));
    fillRounded(painter, panel, 3.5, QColor(255, 255, 255, 120));
    painter.setPen(QPen(QColor(255, 255, 255, 190), 0.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(panel.adjusted(0.2, 0.2, -0.2, -0.2), 3.3, 3.3);

    paintStub(painter, panel.topLeft() + QPointF(4.0, 4.0), panel.width() - 8.0,
              std::max(column.titleLength, 3), ColumnTitleCharacters, 2.2, withAlpha(Ink, 200));

    painter.save();
    QPainterPath clip;
    clip.addRoundedRect(panel, 3.5, 3.5);
    painter.setClipPath(clip);
    double y = panel.top() + HeaderHeight;
    for (const CardSketch& card : column.cards) {
        const double height = cardHeight(card);
        paintCard(painter, card,
                  QRectF(panel.left() + CardInset, y, panel.width() - 2 * CardInset, height));
        y += height + CardGap;
    }
    painter.restore();

    if (contentHeight <= frame.height())
        paintPlus(painter, QPointF(panel.left() + 5.0, panel.bottom() - 3.6), 2.4, Pencil);
}

double ThumbnailPainter::cardHeight(const CardSketch& card) const
{
    double height = 2 * CardPadding + TitleRowHeight;
    for (const StubRow& row : stubRowsOf(card))
        height += stepOf(row);
    if (!card.tagColours.isEmpty())
        height += TagRowHeight;
    return height;
}

void ThumbnailPainter::paintCard(QPainter& painter, const CardSketch& card, QRectF frame) const
{
    painter.save();
    if (card.done)
        painter.setOpacity(0.55);
    fillRounded(painter, frame.translated(0, 0.4), 2.2, QColor(30, 40, 60, 30));
    fillRounded(painter, frame, 2.2, QColor(255, 255, 255, 240));

    const QRectF text = frame.adjusted(CardPadding, CardPadding, -CardPadding, -CardPadding);
    paintCardHeading(painter, card, QRectF(text.topLeft(), QSizeF(text.width(), TitleRowHeight)));
    double y = text.top() + TitleRowHeight;
    for (const StubRow& row : stubRowsOf(card)) {
        paintStubRow(painter, row, QPointF(text.left(), y), text.width());
        y += stepOf(row);
    }
    double x = text.left();
    for (int colour : card.tagColours) {
        if (x + 5.5 > text.right())
            break;
        fillRounded(painter, QRectF(x, y + 0.9, 5.5, 2.0), 1.0, paletteColour(colour));
        x += 6.7;
    }
    painter.restore();
}

// The done box, the heading (struck through when done) and the priority flag.
void ThumbnailPainter::paintCardHeading(QPainter& painter, const CardSketch& card, QRectF row) const
{
    const QRectF box(row.left(), row.top() + 0.3, 2.4, 2.4);
    if (card.done) {
        fillRounded(painter, box, 0.6, paletteColour(3).darker(135));
    } else {
        painter.setPen(QPen(Pencil, 0.35));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(box, 0.6, 0.6);
    }

    const int characters = std::max(3, card.lines.isEmpty() ? 0 : card.lines.first().length);
    const double fullWidth = row.width() - 3.6 - (card.priority ? 3.2 : 0.0);
    const QPointF start(row.left() + 3.6, row.top() + 0.5);
    paintStub(painter, start, fullWidth, characters, TitleCharactersPerRow, 2.0, Ink);
    if (card.done) {
        const double width = std::min(fullWidth, fullWidth * characters / TitleCharactersPerRow);
        painter.setPen(QPen(withAlpha(Ink, 220), 0.35));
        painter.drawLine(start + QPointF(-0.4, 1.0), start + QPointF(width + 0.4, 1.0));
    }

    if (card.priority) {
        const double flagX = row.right() - 2.0;
        painter.setPen(QPen(Flag.darker(120), 0.35));
        painter.drawLine(QPointF(flagX, row.top() + 0.2), QPointF(flagX, row.top() + 3.0));
        QPainterPath pennant;
        pennant.moveTo(flagX, row.top() + 0.2);
        pennant.lineTo(flagX + 2.0, row.top() + 0.9);
        pennant.lineTo(flagX, row.top() + 1.7);
        pennant.closeSubpath();
        painter.fillPath(pennant, Flag);
    }
}

void ThumbnailPainter::paintAddColumnButton(QPainter& painter, QPointF centre) const
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(centre, 3.2, 3.2);
    paintPlus(painter, centre, 2.6, Pencil.darker(110));
}
