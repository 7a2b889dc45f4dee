#pragma once

#include <QByteArray>
#include <QHash>
#include <QIconEngine>
#include <QPixmap>

// An icon drawn from one of the application's monochrome SVG pictures in the colours of the
// current palette: the picture's ink (#3C3C3C) takes the button text colour, its white the
// window colour, so toolbar icons read on light and dark palettes alike, dimmed when disabled.
// Every size is drawn from the vector picture, sharp at any scale factor.
class SymbolicIconEngine final : public QIconEngine
{
public:
    explicit SymbolicIconEngine(const QString& resourcePath);

    static QIcon icon(const QString& resourcePath);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override { return QStringLiteral("SymbolicIconEngine"); }

private:
    QByteArray colouredPicture(QIcon::Mode mode) const;

    QString m_resourcePath;
    QByteArray m_picture;
    QHash<QString, QPixmap> m_pixmaps; // by colours, size and mode
};
