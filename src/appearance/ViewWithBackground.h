#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class DisplayItem;

// Draws the background picture of the board or list shown, scaled to fill the view and cropped,
// behind whatever the view holds. An item without a picture shows the first built-in one; a
// picture that cannot be loaded keeps what was shown before.
class ViewWithBackground final : public QWidget
{
    Q_OBJECT

public:
    explicit ViewWithBackground(QWidget* parent = nullptr);

    void setItem(DisplayItem* item);
    DisplayItem* item() const { return m_item; }
    // Reads the item's bgImage again (on "BackgroundChanged").
    void reloadBackground();

    // The picture shown, by name (empty: none yet), and whether the last load failed.
    QString shownName() const { return m_shownName; }
    bool lastLoadFailed() const { return m_lastLoadFailed; }
    bool showsPicture() const { return !m_picture.isNull(); }
    // Drawing without the picture (plain window colour), as for comparing costs.
    void setPictureEnabled(bool enabled);

Q_SIGNALS:
    void pictureShownChanged(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPixmap& fitted();

    DisplayItem* m_item = nullptr;
    QImage m_picture;
    QString m_shownName;
    // The picture at the view's size, made again only when the size or picture changes.
    QPixmap m_fitted;
    bool m_lastLoadFailed = false;
    bool m_pictureEnabled = true;
};
