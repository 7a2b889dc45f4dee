#pragma once

#include <QImage>

// What keeps white column titles and white cards readable on a picture: the brightness of its
// title band and of the whole picture, as relative luminance (0 black … 1 white).
class Readability final
{
public:
    // The share of the picture's height, from the top, where column titles sit.
    static constexpr double titleBandShare = 0.12;
    // White text on at most this luminance has a contrast of 3:1 or more.
    static constexpr double brightestTitleBand = 0.30;
    // Above this a white card's edge fades into the picture.
    static constexpr double brightestPicture = 0.75;

    // The luminance that `share` of the sampled pixels of `area` stay at or below.
    static double luminancePercentile(const QImage& image, const QRect& area, double share);
    static double titleBandLuminance(const QImage& image);
    static double pictureLuminance(const QImage& image);
};
