#include "DueDatePill.h"

#include "appearance/Palette.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <cmath>

namespace {
QSvgRenderer& calendarImage()
{
    static QSvgRenderer renderer(QStringLiteral(":/images/Calendar-icon.svg"));
    return renderer;
}
} // namespace

QFont DueDatePill::font()
{
    QFont font = QApplication::font();
    // Sizes here are device-independent pixels, like the pill's height of 17.
    font.setPixelSize(12);
    font.setWeight(QFont::Light);
    // A family without a light face may offer an extra-light one instead, too thin to read in
    // white on orange: the regular weight is then the better match.
    const QFontInfo matched(font);
    const int matchedWeight = QFontDatabase::weight(matched.family(), matched.styleName());
    if (matchedWeight >= 0 && matchedWeight < QFont::Light)
        font.setWeight(QFont::Normal);
    return font;
}

QSize DueDatePill::sizeFor(const QString& title)
{
    if (title.isEmpty())
        return calendarImageSize();
    const qreal textWidth = QFontMetricsF(font()).horizontalAdvance(title);
    return {int(std::ceil(textWidth)) + extraWidth, height};
}

QSize DueDatePill::calendarImageSize()
{
    // A picture that failed to load still leaves room for one, so the button stays clickable.
    const QSvgRenderer& image = calendarImage();
    return image.isValid() ? image.defaultSize() : QSize(16, 16);
}

void DueDatePill::paint(QPainter* painter, const QRect& rect, const QString& title,
                        const QColor& background, bool pressed)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (title.isEmpty()) {
        QRectF image(QPointF(), calendarImageSize());
        image.moveCenter(QRectF(rect).center());
        calendarImage().render(painter, image);
    } else {
        const qreal radius = rect.height() / 6.0;
        QPainterPath pill;
        pill.addRoundedRect(QRectF(rect), radius, radius);
        painter->fillPath(pill, pressed ? Palette::darkerColour(background) : background);
        painter->setFont(font());
        painter->setPen(Qt::white);
        painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, title);
    }
    painter->restore();
}
