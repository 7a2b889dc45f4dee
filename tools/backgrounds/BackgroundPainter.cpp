#include "BackgroundPainter.h"

#include "Readability.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

double between(QRandomGenerator& random, double low, double high)
{
    return low + random.generateDouble() * (high - low);
}

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

// A small tile of grain, drawn over paper-like pictures.
QImage grainTile(QRandomGenerator& random, int size)
{
    QImage tile(size, size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const int alpha = int(random.bounded(44));
            const int grey = random.bounded(2) ? 255 : 0;
            line[x] = qPremultiply(qRgba(grey, grey, grey, alpha));
        }
    }
    return tile;
}

void darkenFromTheTop(QImage& image, double alpha)
{
    QPainter painter(&image);
    QLinearGradient scrim(0, 0, 0, image.height() * 0.7);
    const double stops[][2] = {{0.0, 1.0}, {0.15, 0.9}, {0.35, 0.55}, {0.6, 0.2}, {1.0, 0.0}};
    for (const auto& stop : stops)
        scrim.setColorAt(stop[0], QColor::fromRgbF(0, 0, 0, float(alpha * stop[1])));
    painter.fillRect(image.rect(), scrim);
}

// Darkens from the top down, as little as will do, until white titles read on the band; then
// the whole picture until white cards stand out on it.
void keepReadable(QImage& image)
{
    const QImage original = image;
    for (double alpha = 0.0; alpha <= 0.9; alpha += 0.05) {
        image = original;
        if (alpha > 0.0)
            darkenFromTheTop(image, alpha);
        if (Readability::titleBandLuminance(image) <= Readability::brightestTitleBand)
            break;
    }
    for (int step = 0;
         step < 40 && (Readability::pictureLuminance(image) > Readability::brightestPicture);
         ++step) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(0, 0, 0, 14));
    }
}

} // namespace

BackgroundPainter::Scheme BackgroundPainter::scheme(int number, QRandomGenerator& random)
{
    Scheme s;
    // Every other picture of each kind is light; hues walk round the wheel.
    s.light = (number / 6) % 2 == 0;
    const double hue = std::fmod(number * 0.137 + between(random, 0.0, 0.05), 1.0);
    const double spread = between(random, 0.06, 0.22);
    if (s.light) {
        s.first = QColor::fromHslF(float(hue), 0.55f, 0.72f);
        s.second = QColor::fromHslF(float(std::fmod(hue + spread, 1.0)), 0.6f, 0.62f);
        s.accent = QColor::fromHslF(float(std::fmod(hue + 0.5, 1.0)), 0.7f, 0.82f);
    } else {
        s.first = QColor::fromHslF(float(hue), 0.55f, 0.18f);
        s.second = QColor::fromHslF(float(std::fmod(hue + spread, 1.0)), 0.6f, 0.32f);
        s.accent = QColor::fromHslF(float(std::fmod(hue + 0.08, 1.0)), 0.8f, 0.6f);
    }
    return s;
}

QImage BackgroundPainter::paint(int number) const
{
    QRandomGenerator random(quint32(number) * 7919u + 17u);
    const Scheme colours = scheme(number, random);
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        switch (number % 6) {
        case 0:
            paintGradient(painter, colours, random);
            break;
        case 1:
            paintBlobs(painter, colours, random);
            break;
        case 2:
            paintWaves(painter, colours, random);
            break;
        case 3:
            paintBokeh(painter, colours, random);
            break;
        case 4:
            paintPaper(painter, colours, random);
            break;
        default:
            paintFacets(painter, colours, random);
            break;
        }
    }
    keepReadable(image);
    return image;
}

QImage BackgroundPainter::thumbnail(const QImage& picture)
{
    const int side = std::min(picture.width(), picture.height());
    const QRect square((picture.width() - side) / 2, (picture.height() - side) / 2, side, side);
    return picture.copy(square).scaled(thumbSize, thumbSize, Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation);
}

void BackgroundPainter::paintGradient(QPainter& painter, const Scheme& scheme,
                                      QRandomGenerator& random)
{
    const double angle = between(random, 0.0, 2.0 * pi);
    const QPointF centre(width / 2.0, height / 2.0);
    const QPointF reach(std::cos(angle) * width * 0.6, std::sin(angle) * height * 0.6);
    QLinearGradient gradient(centre - reach, centre + reach);
    gradient.setColorAt(0.0, scheme.first);
    gradient.setColorAt(between(random, 0.4, 0.6), scheme.second);
    gradient.setColorAt(1.0, scheme.first.darker(120));
    painter.fillRect(QRect(0, 0, width, height), gradient);
    QRadialGradient glow(QPointF(between(random, 0, width), between(random, 0, height)),
                         width * 0.5);
    glow.setColorAt(0.0, withAlpha(scheme.accent, 0.25));
    glow.setColorAt(1.0, withAlpha(scheme.accent, 0.0));
    painter.fillRect(QRect(0, 0, width, height), glow);
}

void BackgroundPainter::paintBlobs(QPainter& painter, const Scheme& scheme,
                                   QRandomGenerator& random)
{
    QLinearGradient base(0, 0, width, height);
    base.setColorAt(0.0, scheme.first);
    base.setColorAt(1.0, scheme.second);
    painter.fillRect(QRect(0, 0, width, height), base);
    const int blobs = 5 + int(random.bounded(4));
    for (int i = 0; i < blobs; ++i) {
        const QPointF at(between(random, 0, width), between(random, 0, height));
        const double radius = between(random, 180, 520);
        QRadialGradient soft(at, radius);
        const QColor colour = i % 2 ? scheme.accent : scheme.second.lighter(130);
        soft.setColorAt(0.0, withAlpha(colour, 0.45));
        soft.setColorAt(1.0, withAlpha(colour, 0.0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(soft);
        painter.drawEllipse(at, radius, radius);
    }
}

void BackgroundPainter::paintWaves(QPainter& painter, const Scheme& scheme,
                                   QRandomGenerator& random)
{
    QLinearGradient base(0, 0, 0, height);
    base.setColorAt(0.0, scheme.first);
    base.setColorAt(1.0, scheme.second);
    painter.fillRect(QRect(0, 0, width, height), base);
    painter.setPen(Qt::NoPen);
    const int bands = 4 + int(random.bounded(3));
    for (int band = 0; band < bands; ++band) {
        const double level = height * (0.3 + 0.7 * (band + 1) / double(bands + 1));
        const double amplitude = between(random, 20, 70);
        const double period = between(random, 500, 1300);
        const double phase = between(random, 0, 2 * pi);
        QPainterPath wave(QPointF(0, height));
        for (int x = 0; x <= width; x += 16)
            wave.lineTo(x, level + amplitude * std::sin(phase + 2 * pi * x / period));
        wave.lineTo(width, height);
        wave.closeSubpath();
        painter.setBrush(withAlpha(band % 2 ? scheme.accent : scheme.second.darker(115), 0.22));
        painter.drawPath(wave);
    }
}

void BackgroundPainter::paintBokeh(QPainter& painter, const Scheme& scheme,
                                   QRandomGenerator& random)
{
    QRadialGradient base(QPointF(width * 0.5, height * 0.6), width * 0.8);
    base.setColorAt(0.0, scheme.second);
    base.setColorAt(1.0, scheme.first.darker(140));
    painter.fillRect(QRect(0, 0, width, height), base);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(between(random, 0, width), between(random, height * 0.15, height));
        const double radius = between(random, 12, 70);
        QRadialGradient light(at, radius);
        light.setColorAt(0.0, withAlpha(scheme.accent, between(random, 0.15, 0.4)));
        light.setColorAt(0.8, withAlpha(scheme.accent, 0.12));
        light.setColorAt(1.0, withAlpha(scheme.accent, 0.0));
        painter.setBrush(light);
        painter.drawEllipse(at, radius, radius);
    }
}

void BackgroundPainter::paintPaper(QPainter& painter, const Scheme& scheme,
                                   QRandomGenerator& random)
{
    painter.fillRect(QRect(0, 0, width, height), scheme.first);
    painter.fillRect(QRect(0, 0, width, height), QBrush(grainTile(random, 128)));
    // Faint fibres, then a vignette.
    painter.setPen(QPen(withAlpha(scheme.second, 0.18), 1.2));
    for (int i = 0; i < 160; ++i) {
        const QPointF from(between(random, 0, width), between(random, 0, height));
        const double angle = between(random, 0, 2 * pi);
        const double length = between(random, 20, 90);
        painter.drawLine(from, from + QPointF(std::cos(angle), std::sin(angle)) * length);
    }
    QRadialGradient vignette(QPointF(width / 2.0, height / 2.0), width * 0.75);
    vignette.setColorAt(0.5, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 90));
    painter.fillRect(QRect(0, 0, width, height), vignette);
}

void BackgroundPainter::paintFacets(QPainter& painter, const Scheme& scheme,
                                    QRandomGenerator& random)
{
    constexpr int columns = 12;
    constexpr int rows = 8;
    QList<QPointF> points;
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const bool edge = row == 0 || row == rows || column == 0 || column == columns;
            const double jitter = edge ? 0.0 : 0.35;
            points.append(
                QPointF((column + between(random, -jitter, jitter)) * width / double(columns),
                        (row + between(random, -jitter, jitter)) * height / double(rows)));
        }
    }
    const auto at = [&points](int row, int column) {
        return points.at(row * (columns + 1) + column);
    };
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QPolygonF halves[2] = {
                QPolygonF({at(row, column), at(row, column + 1), at(row + 1, column)}),
                QPolygonF({at(row, column + 1), at(row + 1, column + 1), at(row + 1, column)}),
            };
            for (const QPolygonF& triangle : halves) {
                const QPointF centre = triangle.boundingRect().center();
                const double t = (centre.x() / width + centre.y() / height) / 2.0;
                QColor colour = QColor::fromRgbF(
                    float(scheme.first.redF() * (1 - t) + scheme.second.redF() * t),
                    float(scheme.first.greenF() * (1 - t) + scheme.second.greenF() * t),
                    float(scheme.first.blueF() * (1 - t) + scheme.second.blueF() * t));
                colour = colour.lighter(90 + int(random.bounded(25)));
                painter.setBrush(colour);
                painter.drawPolygon(triangle);
            }
        }
    }
}
