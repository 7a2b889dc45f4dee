#pragma once

#include <QStyledItemDelegate>

// One row of the import and export outline: the check box (which can show the mixed state of
// a folder), the folder, board or list icon and the title, in the platform's colours (the
// title turns to the selected-text colour on a selected row). A click on the check box or
// Space asks the model for the new state; a row whose box cannot be changed alone is drawn
// dimmed.
class ExportItemCell final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int iconSize = 16;
    static constexpr int minimumRowHeight = 24;

    explicit ExportItemCell(QObject* parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the row's check box is, in the view's viewport (for the row at rowRect).
    QRect checkButtonRect(const QRect& rowRect, const QModelIndex& index,
                          const QWidget* view) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
