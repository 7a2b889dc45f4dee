#include "ViewWithBackground.h"

#include "BackgroundImage.h"
#include "model/DisplayItem.h"

#include <QCache>
#include <QPaintEvent>
#include <QPainter>

namespace {

// Pictures fitted to a view's size, so that boards switched back and forth are not scaled again.
// The cost is in kilobytes: about four full screens.
QCache<QString, QPixmap>& fittedPictures()
{
    static QCache<QString, QPixmap> pictures(4 * 2560 * 1440 * 4 / 1024);
    return pictures;
}

} // namespace

ViewWithBackground::ViewWithBackground(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ViewWithBackground::setItem(DisplayItem* item)
{
    m_item = item;
    reloadBackground();
}

void ViewWithBackground::reloadBackground()
{
    if (!m_item || m_item->isDeleted())
        return;
    const QString name = BackgroundImage::effectiveName(m_item->bgImage());
    const QImage picture = BackgroundImage::load(name);
    m_lastLoadFailed = picture.isNull();
    if (m_lastLoadFailed) {
        qWarning("could not load image ViewWithBackground");
        return;
    }
    const bool wasShown = showsPicture();
    if (name == m_shownName && picture.cacheKey() == m_picture.cacheKey())
        return;
    m_picture = picture;
    m_shownName = name;
    m_fitted = QPixmap();
    update();
    if (!wasShown)
        Q_EMIT pictureShownChanged(true);
}

void ViewWithBackground::setPictureEnabled(bool enabled)
{
    m_pictureEnabled = enabled;
    update();
}

const QPixmap& ViewWithBackground::fitted()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_fitted.size() == pixels || pixels.isEmpty())
        return m_fitted;
    const QString key = QStringLiteral("background:%1:%2x%3")
                            .arg(m_picture.cacheKey())
                            .arg(pixels.width())
                            .arg(pixels.height());
    if (const QPixmap* cached = fittedPictures().object(key)) {
        m_fitted = *cached;
        return m_fitted;
    }
    // Fill the view keeping the aspect ratio; the overflow is cut evenly from both sides.
    const QImage scaled =
        m_picture.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QRect crop(
        QPoint((scaled.width() - pixels.width()) / 2, (scaled.height() - pixels.height()) / 2),
        pixels);
    m_fitted = QPixmap::fromImage(scaled.copy(crop));
    m_fitted.setDevicePixelRatio(ratio);
    fittedPictures().insert(key, new QPixmap(m_fitted),
                            pixels.width() * pixels.height() * 4 / 1024 + 1);
    return m_fitted;
}

void ViewWithBackground::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_pictureEnabled || m_picture.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Base));
        return;
    }
    const QPixmap& picture = fitted();
    const qreal ratio = picture.devicePixelRatio();
    const QRect area = event->rect();
    painter.drawPixmap(area, picture,
                       QRectF(area.topLeft() * ratio, QSizeF(area.size()) * ratio).toRect());
}
