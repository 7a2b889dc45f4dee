#pragma once

#include <QSize>
#include <QStyledItemDelegate>

class QListView;

// Draws the cells of the template grid: a template (its thumbnail with rounded corners above
// its name; when selected, a border around the thumbnail and the name on the selection colour)
// or, in the view of all categories, the header that starts a category's section.
class TemplateCollectionViewItem final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Role
    {
        TemplateUrlRole = Qt::UserRole + 1, // QUrl; invalid when the cell has no document
        SectionHeaderRole,                  // bool
    };

    static constexpr QSize thumbnailSize{160, 100};
    static constexpr int cornerRadius = 6;
    static constexpr int selectionBorderWidth = 3;
    // The header's rule is drawn this far in from each side.
    static constexpr int headerInset = 20;

    explicit TemplateCollectionViewItem(QListView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The size of a template cell, and where it shows its thumbnail and its name.
    static QSize templateCellSize(const QFontMetrics& metrics);
    static QRect thumbnailRect(const QRect& cell);
    static QRect titleRect(const QRect& cell, const QFontMetrics& metrics);

private:
    void paintHeader(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index) const;
    void paintTemplate(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const;

    QListView* m_view;
};
