#pragma once

#include <QScrollBar>

class QAbstractScrollArea;

// A thin vertical scroll bar drawn over the right edge of a scroll area's viewport rather than
// beside it. The viewport keeps its width whether or not there is anything to scroll, so
// contents whose height depends on their width (cards whose text wraps) never have to be laid
// out again because a bar came or went, which could otherwise flip back and forth for ever.
// The area's own bar stays hidden and keeps working (wheel, keys, programmatic scrolling); this
// one mirrors it.
class OverlayScrollBar final : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int thickness = 10;

    explicit OverlayScrollBar(QAbstractScrollArea* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followRange(int minimum, int maximum);
    void place();

    QAbstractScrollArea* m_area;
    QWidget* m_viewport; // the area's, watched for its size
};
