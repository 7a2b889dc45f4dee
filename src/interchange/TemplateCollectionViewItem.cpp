#include "TemplateCollectionViewItem.h"

#include <QImage>
#include <QListView>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int cellMargin = 8;
constexpr int titleGap = 6;
constexpr int titlePadding = 6;

QFont headerFont(const QFont& base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

} // namespace

TemplateCollectionViewItem::TemplateCollectionViewItem(QListView* view)
    : QStyledItemDelegate(view)
    , m_view(view)
{}

QRect TemplateCollectionViewItem::thumbnailRect(const QRect& cell)
{
    return {cell.left() + (cell.width() - thumbnailSize.width()) / 2, cell.top() + cellMargin,
            thumbnailSize.width(), thumbnailSize.height()};
}

QRect TemplateCollectionViewItem::titleRect(const QRect& cell, const QFontMetrics& metrics)
{
    const QRect thumbnail = thumbnailRect(cell);
    return {cell.left() + cellMargin / 2, thumbnail.bottom() + 1 + titleGap,
            cell.width() - cellMargin, metrics.height() + 4};
}

QSize TemplateCollectionViewItem::sizeHint(const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    if (index.data(SectionHeaderRole).toBool()) {
        // A header fills a line of its own, so the flow starts every section on a new line.
        const int width = m_view->viewport()->width() - 2 * m_view->spacing() - 1;
        const QFontMetrics metrics(headerFont(option.font));
        return {qMax(width, thumbnailSize.width()), metrics.height() + 14};
    }
    return templateCellSize(option.fontMetrics);
}

QSize TemplateCollectionViewItem::templateCellSize(const QFontMetrics& metrics)
{
    const int height =
        cellMargin + thumbnailSize.height() + titleGap + metrics.height() + 4 + cellMargin;
    return {thumbnailSize.width() + 2 * cellMargin, height};
}

void TemplateCollectionViewItem::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (index.data(SectionHeaderRole).toBool())
        paintHeader(painter, option, index);
    else
        paintTemplate(painter, option, index);
    painter->restore();
}

void TemplateCollectionViewItem::paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const
{
    const QRect cell = option.rect;
    const QFont font = headerFont(option.font);
    const QFontMetrics metrics(font);
    painter->setFont(font);
    painter->setPen(option.palette.color(QPalette::Active, QPalette::Text));
    const QRect text(cell.left() + headerInset, cell.top() + 4, cell.width() - 2 * headerInset,
                     metrics.height());
    painter->drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter,
        metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width()));
    // A one-point rule in 80 % white at 80 % opacity.
    QPen rule(QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.8f));
    rule.setWidth(1);
    painter->setPen(rule);
    painter->setRenderHint(QPainter::Antialiasing, false);
    const int y = cell.bottom() - 3;
    painter->drawLine(cell.left() + headerInset, y, cell.right() - headerInset, y);
}

void TemplateCollectionViewItem::paintTemplate(QPainter* painter,
                                               const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor highlight = option.palette.color(group, QPalette::Highlight);

    const QRectF thumbnail = thumbnailRect(option.rect);
    QPainterPath rounded;
    rounded.addRoundedRect(thumbnail, cornerRadius, cornerRadius);
    painter->save();
    painter->setClipPath(rounded);
    painter->drawImage(thumbnail, index.data(Qt::DecorationRole).value<QImage>());
    painter->restore();
    painter->setBrush(Qt::NoBrush);
    if (selected) {
        // Inside the thumbnail's edge, so neighbouring cells never cover it.
        const qreal half = selectionBorderWidth / 2.0;
        painter->setPen(QPen(highlight, selectionBorderWidth));
        painter->drawRoundedRect(thumbnail.adjusted(half, half, -half, -half), cornerRadius - half,
                                 cornerRadius - half);
    } else {
        // A light edge keeps pale thumbnails apart from the background.
        QColor edge = option.palette.color(group, QPalette::Text);
        edge.setAlphaF(0.15f);
        painter->setPen(QPen(edge, 1));
        painter->drawRoundedRect(thumbnail.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                                 cornerRadius - 0.5);
    }

    const QFontMetrics& metrics = option.fontMetrics;
    const QRect title = titleRect(option.rect, metrics);
    const QString text = metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                            title.width() - 2 * titlePadding);
    painter->setFont(option.font);
    if (selected) {
        const int width = qMin(title.width(), metrics.horizontalAdvance(text) + 2 * titlePadding);
        const QRect background(title.left() + (title.width() - width) / 2, title.top(), width,
                               title.height());
        painter->setPen(Qt::NoPen);
        painter->setBrush(highlight);
        painter->drawRoundedRect(background, 4, 4);
        painter->setPen(option.palette.color(group, QPalette::HighlightedText));
    } else {
        painter->setPen(option.palette.color(group, QPalette::Text));
    }
    painter->drawText(title, Qt::AlignCenter, text);
}
