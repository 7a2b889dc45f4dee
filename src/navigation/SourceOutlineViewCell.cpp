#include "SourceOutlineViewCell.h"

#include "SourceOutlineModel.h"
#include "appearance/Palette.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int leadingPadding = 2;
constexpr int trailingPadding = 8;
constexpr int iconTitleSpacing = 6;
constexpr int titleBadgeSpacing = 6;
constexpr int minimumRowHeight = 26;

} // namespace

SourceOutlineViewCell::SourceOutlineViewCell(QObject* parent)
    : QStyledItemDelegate(parent)
{}

QRect SourceOutlineViewCell::iconRect(const QRect& row)
{
    return QRect(row.left() + leadingPadding, row.top() + (row.height() - iconSize) / 2, iconSize,
                 iconSize);
}

QRect SourceOutlineViewCell::badgeRect(const QRect& row, const QString& text, const QFont& font)
{
    if (text.isEmpty())
        return {};
    const QSize size = ColorCountButtonCell::sizeForText(text, font);
    return QRect(row.right() - trailingPadding - size.width() + 1,
                 row.top() + (row.height() - size.height()) / 2, size.width(), size.height());
}

QRect SourceOutlineViewCell::titleRect(const QRect& row, const QRect& badge)
{
    const int left = iconRect(row).right() + 1 + iconTitleSpacing;
    const int right =
        badge.isValid() ? badge.left() - titleBadgeSpacing : row.right() - trailingPadding;
    return QRect(left, row.top(), std::max(0, right - left + 1), row.height());
}

QRectF SourceOutlineViewCell::colourMarkRect(const QRect& icon)
{
    // A dot on the icon's lower right corner, like a badge on the icon itself.
    return QRectF(icon.right() + 1 - colourMarkSize * 0.7, icon.bottom() + 1 - colourMarkSize * 0.7,
                  colourMarkSize, colourMarkSize);
}

void SourceOutlineViewCell::paintColourMark(QPainter* painter, const QRect& icon,
                                            const QColor& colour)
{
    if (!colour.isValid())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(Palette::darkerColour(colour), 1.0));
    painter->setBrush(colour);
    painter->drawEllipse(colourMarkRect(icon).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

void SourceOutlineViewCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();

    // The row's background (selection, hover) as the platform style draws it.
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const bool selected = opt.state & QStyle::State_Selected;
    const bool active = opt.state & QStyle::State_Active;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : active                             ? QPalette::Active
                                                                            : QPalette::Inactive;
    // Icons keep their colours on a highlighted row, as in a source list.
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    icon.paint(painter, iconRect(opt.rect), Qt::AlignCenter, QIcon::Normal);
    paintColourMark(painter, iconRect(opt.rect),
                    index.data(SourceOutlineModel::ItemColourRole).value<QColor>());

    const QString badgeText = index.data(SourceOutlineModel::BadgeTextRole).toString();
    const QRect badge = badgeRect(opt.rect, badgeText, opt.font);
    if (badge.isValid()) {
        m_countLabel.setBackgroundColour(
            index.data(SourceOutlineModel::BadgeColourRole).value<QColor>());
        m_countLabel.draw(painter, badge, badgeText, opt.font, selected);
    }

    const QRect title = titleRect(opt.rect, badge);
    const QString text = opt.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                    Qt::ElideRight, title.width());
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

QSize SourceOutlineViewCell::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const int height = std::max(minimumRowHeight, opt.fontMetrics.height() + 10);
    const QString badgeText = index.data(SourceOutlineModel::BadgeTextRole).toString();
    int width = leadingPadding + iconSize + iconTitleSpacing +
                opt.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) +
                trailingPadding;
    if (!badgeText.isEmpty())
        width += titleBadgeSpacing + ColorCountButtonCell::sizeForText(badgeText, opt.font).width();
    return QSize(width, height);
}

QWidget* SourceOutlineViewCell::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                             const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setFrame(true);
    // Every keystroke is the node's title at once; the end of editing saves.
    QPersistentModelIndex target(index);
    connect(editor, &QLineEdit::textEdited, this, [target](const QString& text) {
        if (target.isValid())
            const_cast<QAbstractItemModel*>(target.model())->setData(target, text, Qt::EditRole);
    });
    return editor;
}

void SourceOutlineViewCell::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    const QString title = index.data(Qt::EditRole).toString();
    // The model echoes each keystroke back; leave the cursor where the user is typing.
    if (line->text() != title)
        line->setText(title);
}

void SourceOutlineViewCell::setModelData(QWidget* editor, QAbstractItemModel* model,
                                         const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    if (index.data(Qt::EditRole).toString() != text)
        model->setData(index, text, Qt::EditRole);
}

void SourceOutlineViewCell::updateEditorGeometry(QWidget* editor,
                                                 const QStyleOptionViewItem& option,
                                                 const QModelIndex&) const
{
    // Over the title, from just after the icon to the end of the row.
    const int left = iconRect(option.rect).right() + 1 + iconTitleSpacing - 4;
    const int height = std::min(option.rect.height(), editor->sizeHint().height());
    editor->setGeometry(left, option.rect.top() + (option.rect.height() - height) / 2,
                        option.rect.right() - trailingPadding + 4 - left + 1, height);
}
