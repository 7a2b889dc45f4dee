#pragma once

#include "ColorCountButtonCell.h"

#include <QStyledItemDelegate>

// Draws one sidebar row: the node's icon, its title and, for boards and lists, the count badge.
// Renaming happens in place, over the title.
class SourceOutlineViewCell final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int iconSize = 16;
    // The dot of the item's colour on its icon.
    static constexpr qreal colourMarkSize = 8.0;
    static QRectF colourMarkRect(const QRect& icon);
    static void paintColourMark(QPainter* painter, const QRect& icon, const QColor& colour);

    explicit SourceOutlineViewCell(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Where the parts of a row go within the row's rectangle.
    static QRect iconRect(const QRect& row);
    static QRect titleRect(const QRect& row, const QRect& badge);
    static QRect badgeRect(const QRect& row, const QString& text, const QFont& font);

private:
    mutable ColorCountButtonCell m_countLabel;
};
