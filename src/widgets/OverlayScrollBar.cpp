#include "OverlayScrollBar.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace {
// Neutral grey with some transparency reads on light cards, dark palettes and pictures alike.
const char* const overlayStyle = R"(
QScrollBar:vertical { background: transparent; width: 10px; margin: 2px 2px 2px 0px; }
QScrollBar::handle:vertical { background: rgba(128, 128, 128, 130); border-radius: 4px;
                              min-height: 28px; }
QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed {
    background: rgba(110, 110, 110, 200); }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; border: none; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }
)";
} // namespace

OverlayScrollBar::OverlayScrollBar(QAbstractScrollArea* area)
    : QScrollBar(Qt::Vertical, area)
    , m_area(area)
    , m_viewport(area->viewport())
{
    setStyleSheet(QString::fromLatin1(overlayStyle));
    setCursor(Qt::ArrowCursor);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* source = area->verticalScrollBar();
    setSingleStep(source->singleStep());
    followRange(source->minimum(), source->maximum());
    setValue(source->value());
    connect(source, &QScrollBar::rangeChanged, this, &OverlayScrollBar::followRange);
    connect(source, &QScrollBar::valueChanged, this, &QScrollBar::setValue);
    connect(this, &QScrollBar::valueChanged, source, &QScrollBar::setValue);
    area->viewport()->installEventFilter(this);
    place();
}

void OverlayScrollBar::followRange(int minimum, int maximum)
{
    const QScrollBar* source = m_area->verticalScrollBar();
    setPageStep(source->pageStep());
    setSingleStep(source->singleStep());
    setRange(minimum, maximum);
    setVisible(maximum > minimum);
    raise();
}

void OverlayScrollBar::place()
{
    const QRect viewport = m_area->viewport()->geometry();
    setGeometry(viewport.right() - thickness + 1, viewport.top(), thickness, viewport.height());
}

bool OverlayScrollBar::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: while the area is being destroyed its viewport still sends events, and
    // the area must not be asked for anything then.
    if (event->type() == QEvent::Resize && watched == m_viewport) {
        setPageStep(m_area->verticalScrollBar()->pageStep());
        place();
    }
    return QScrollBar::eventFilter(watched, event);
}
