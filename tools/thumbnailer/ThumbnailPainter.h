#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

class BoardSketch;
struct CardSketch;
struct ColumnSketch;
class QPainter;

// Draws a miniature of a board: its columns as rounded panels holding card
// stubs, with tag chips in the tags' palette colours. No text is drawn, so the
// result does not depend on the fonts of the machine that builds it.
class ThumbnailPainter final
{
public:
    // The picture is drawn in points of this size, at the given pixel ratio.
    static constexpr double Width = 160.0;
    static constexpr double Height = 100.0;

    explicit ThumbnailPainter(double pixelRatio = 2.0);

    QImage paint(const BoardSketch& board) const;

    // The colour at a palette index; an index outside the palette gives colour 0.
    static QColor paletteColour(int index);

private:
    void paintBackground(QPainter& painter, int boardColour) const;
    void paintColumn(QPainter& painter, const ColumnSketch& column, QRectF frame) const;
    double cardHeight(const CardSketch& card) const;
    void paintCard(QPainter& painter, const CardSketch& card, QRectF frame) const;
    void paintCardHeading(QPainter& painter, const CardSketch& card, QRectF row) const;
    void paintAddColumnButton(QPainter& painter, QPointF centre) const;

    double m_pixelRatio;
};
