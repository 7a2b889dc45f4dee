#include "ExportItemCell.h"

#include <QApplication>
#include <QStyle>

ExportItemCell::ExportItemCell(QObject* parent)
    : QStyledItemDelegate(parent)
{}

QSize ExportItemCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), minimumRowHeight));
    return size;
}

QRect ExportItemCell::checkButtonRect(const QRect& rowRect, const QModelIndex& index,
                                      const QWidget* view) const
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = rowRect;
    initStyleOption(&option, index);
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
}

void ExportItemCell::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->decorationSize = QSize(iconSize, iconSize);
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        option->state &= ~QStyle::State_Enabled;
}
