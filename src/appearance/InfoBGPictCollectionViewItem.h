#pragma once

#include <QStyledItemDelegate>

// One thumbnail of the popover's picture collection: the picture, and a black border of two
// points around the selected one.
class InfoBGPictCollectionViewItem final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int thumbnailSize = 48;
    static constexpr qreal selectedBorderWidth = 2.0;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
