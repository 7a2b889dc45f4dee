#include "SymbolicIconEngine.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace {
constexpr QByteArrayView ink = "#3C3C3C";
constexpr QByteArrayView paper = "#FFFFFF";
} // namespace

SymbolicIconEngine::SymbolicIconEngine(const QString& resourcePath)
    : m_resourcePath(resourcePath)
{
    QFile file(resourcePath);
    if (file.open(QIODevice::ReadOnly))
        m_picture = file.readAll();
}

QIcon SymbolicIconEngine::icon(const QString& resourcePath)
{
    return QIcon(new SymbolicIconEngine(resourcePath));
}

QByteArray SymbolicIconEngine::colouredPicture(QIcon::Mode mode) const
{
    const QPalette palette = QApplication::palette();
    const QPalette::ColorGroup group =
        mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
    QColor foreground = palette.color(group, QPalette::ButtonText);
    if (mode == QIcon::Disabled)
        foreground.setAlphaF(0.45f); // many styles give disabled text almost full strength
    const QColor background = palette.color(QPalette::Window);
    const auto paint = [&foreground](const char* attribute) {
        return QByteArray(attribute) + "=\"" + foreground.name(QColor::HexRgb).toLatin1() + "\" " +
               attribute + "-opacity=\"" + QByteArray::number(foreground.alphaF()) + '"';
    };
    // Only the picture's own colour attributes are replaced.
    QByteArray picture = m_picture;
    picture.replace("fill=\"" + ink.toByteArray() + '"', paint("fill"));
    picture.replace("stroke=\"" + ink.toByteArray() + '"', paint("stroke"));
    picture.replace('"' + paper.toByteArray() + '"',
                    '"' + background.name(QColor::HexRgb).toLatin1() + '"');
    return picture;
}

void SymbolicIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State)
{
    QSvgRenderer renderer(colouredPicture(mode));
    renderer.render(painter, rect);
}

QPixmap SymbolicIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    const QPalette palette = QApplication::palette();
    const QString key =
        QStringLiteral("%1/%2/%3x%4/%5")
            .arg(palette.color(QPalette::ButtonText).name(), palette.color(QPalette::Window).name())
            .arg(size.width())
            .arg(size.height())
            .arg(int(mode));
    if (const auto it = m_pixmaps.constFind(key); it != m_pixmaps.cend())
        return *it;
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(), size), mode, state);
    painter.end();
    m_pixmaps.insert(key, pixmap);
    return pixmap;
}

QIconEngine* SymbolicIconEngine::clone() const
{
    return new SymbolicIconEngine(m_resourcePath);
}
