#pragma once

#include <QAbstractButton>
#include <QColor>

// A round colour swatch: the palette colour of its tag inside a thin darker outline, and a grey
// ring around it while selected (state 1).
class ColourCircleButton final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr qreal outerRingSize = 32;
    static constexpr qreal innerRingSize = 24;

    explicit ColourCircleButton(int tag = 0, QWidget* parent = nullptr);

    // The palette index; out of range shows colour 0.
    int tag() const { return m_tag; }
    void setTag(int tag);
    QColor colour() const { return m_colour; }
    QColor strokeColour() const { return m_strokeColour; }
    static QColor outerStrokeColour() { return QColor(0x9a, 0x9a, 0x9a); }
    int state() const { return m_state; }
    void setState(int state);

    static QColor darkerColorForColor(const QColor& colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_tag = 0;
    int m_state = 0;
    QColor m_colour;
    QColor m_strokeColour;
};
