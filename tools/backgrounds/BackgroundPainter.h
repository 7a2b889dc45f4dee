#pragma once

#include <QColor>
#include <QImage>
#include <QRandomGenerator>

class QPainter;

// Draws built-in background picture number n (1 to count): gradients, soft shapes, waves,
// bokeh, paper textures and low-poly facets, light and dark, the same picture for the same n on
// every machine. The top band, where column titles sit in white, is kept dark enough for them.
class BackgroundPainter final
{
public:
    static constexpr int count = 46;
    static constexpr int width = 1440;
    static constexpr int height = 900;
    static constexpr int thumbSize = 96;

    QImage paint(int number) const;
    // A square, centred crop of the picture, scaled down.
    static QImage thumbnail(const QImage& picture);

private:
    struct Scheme
    {
        QColor first;
        QColor second;
        QColor accent;
        bool light = false;
    };
    static Scheme scheme(int number, QRandomGenerator& random);

    static void paintGradient(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
    static void paintBlobs(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
    static void paintWaves(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
    static void paintBokeh(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
    static void paintPaper(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
    static void paintFacets(QPainter& painter, const Scheme& scheme, QRandomGenerator& random);
};
