#include "Readability.h"

#include <array>
#include <cmath>

namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb pixel)
{
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

} // namespace

double Readability::luminancePercentile(const QImage& image, const QRect& area, double share)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRect bounded = area.intersected(rgb.rect());
    std::array<qint64, 256> histogram{};
    qint64 samples = 0;
    // Every third pixel in each direction is plenty for a percentile.
    for (int y = bounded.top(); y <= bounded.bottom(); y += 3) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = bounded.left(); x <= bounded.right(); x += 3) {
            ++histogram[std::size_t(std::lround(luminance(line[x]) * 255.0))];
            ++samples;
        }
    }
    const qint64 wanted = qint64(std::ceil(share * double(samples)));
    qint64 seen = 0;
    for (std::size_t bin = 0; bin < histogram.size(); ++bin) {
        seen += histogram[bin];
        if (seen >= wanted && seen > 0)
            return double(bin) / 255.0;
    }
    return 0.0;
}

double Readability::titleBandLuminance(const QImage& image)
{
    const QRect band(0, 0, image.width(), int(image.height() * titleBandShare));
    return luminancePercentile(image, band, 0.9);
}

double Readability::pictureLuminance(const QImage& image)
{
    return luminancePercentile(image, image.rect(), 0.99);
}
