#include "InfoBGPictCollectionViewItem.h"

#include <QPainter>

void InfoBGPictCollectionViewItem::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    const QRect frame(option.rect.center() - QPoint(thumbnailSize / 2 - 1, thumbnailSize / 2 - 1),
                      QSize(thumbnailSize, thumbnailSize));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    icon.paint(painter, frame);
    painter->save();
    if (option.state & QStyle::State_Selected) {
        QPen border(Qt::black, selectedBorderWidth);
        border.setJoinStyle(Qt::MiterJoin);
        painter->setPen(border);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(frame).adjusted(1, 1, -1, -1));
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->drawRect(frame.adjusted(-2, -2, 1, 1));
    }
    painter->restore();
}

QSize InfoBGPictCollectionViewItem::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(thumbnailSize + 6, thumbnailSize + 6);
}
