#include "ListItemCellView.h"

#include "CardEditor.h"
#include "CardGeometry.h"
#include "ChangeDueDateReceiver.h"
#include "ChangeNotesCommand.h"
#include "DatePickerViewController.h"
#include "DateText.h"
#include "DefaultDueDate.h"
#include "DueDateColour.h"
#include "DueDatePill.h"
#include "appearance/CardPalette.h"
#include "appearance/Palette.h"
#include "board/CardTableModel.h"
#include "board/CardTableView.h"
#include "board/KanbanColumnListViewController.h"
#include "board/ListViewController.h"
#include "model/ListItem.h"
#include "model/NoteFormat.h"
#include "model/Tag.h"
#include "notes/NotesDocument.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "tags/TagTokenPainter.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QSvgRenderer>
#include <QTextCursor>
#include <QTextDocument>
#include <QUndoStack>

#include <cmath>

namespace {
qint64 layouts = 0;

QSvgRenderer& image(const QString& name)
{
    static QHash<QString, QSvgRenderer*> images;
    QSvgRenderer*& renderer = images[name];
    if (!renderer)
        renderer = new QSvgRenderer(QStringLiteral(":/images/%1.svg").arg(name), qApp);
    return *renderer;
}

void renderImage(QPainter* painter, const QString& name, const QRect& rect)
{
    QSvgRenderer& renderer = image(name);
    QRectF target(QPointF(),
                  QSizeF(renderer.defaultSize()).scaled(rect.size(), Qt::KeepAspectRatio));
    target.moveCenter(QRectF(rect).center());
    renderer.render(painter, target);
}

QFont smallFont()
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    return font;
}

// Adds a yellow background to the first occurrence of the search term, whatever its case.
void highlightFirstMatch(QTextDocument* document, const QString& term)
{
    if (term.isEmpty())
        return;
    const QString text = document->toPlainText().toLower();
    const qsizetype at = text.indexOf(term.toLower());
    if (at < 0)
        return;
    QTextCursor cursor(document);
    cursor.setPosition(int(at));
    cursor.setPosition(int(at + term.size()), QTextCursor::KeepAnchor);
    QTextCharFormat highlight;
    highlight.setBackground(QColor(Qt::yellow));
    cursor.mergeCharFormat(highlight);
}
} // namespace

ListItemCellView::ListItemCellView(QObject* parent)
    : QStyledItemDelegate(parent)
{
    // A renamed or recoloured tag: the cards on screen draw their tokens anew.
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("tagValueChanged"), [this](const NotificationCenter::Notification&) {
            if (m_controller && m_controller->tableView())
                m_controller->tableView()->viewport()->update();
            Q_EMIT tagsChanged();
        });
}

ListItemCellView::~ListItemCellView() = default;

qint64 ListItemCellView::layoutCount()
{
    return layouts;
}

int ListItemCellView::cardWidth() const
{
    int width = 280;
    if (m_controller && m_controller->tableView())
        width = m_controller->tableView()->viewport()->width();
    return width;
}

bool ListItemCellView::isExpanded(const ListItem* item) const
{
    return item->notesExpanded().value_or(false);
}

int ListItemCellView::heightForItem(ListItem* item)
{
    const int width = cardWidth();
    if (width != m_width) {
        invalidateAll();
        m_width = width;
    }
    auto it = m_heights.find(item);
    if (it == m_heights.end())
        it = m_heights.insert(item, {estimateNotesHeight(item) + CardGeometry::fixedHeight, false});
    return it->height;
}

bool ListItemCellView::hasExactHeight(const ListItem* item) const
{
    const auto it = m_heights.constFind(item);
    return it != m_heights.cend() && it->exact;
}

int ListItemCellView::estimateNotesHeight(const ListItem* item) const
{
    // The stored notes' size tells roughly how much text there is without decoding it.
    if (!isExpanded(item))
        return 31; // one title line
    const qsizetype bytes = item->encodedNotes().size();
    if (bytes == 0)
        return 30;
    const qsizetype lines = 1 + bytes / 45;
    return int(std::max<qsizetype>(30, 10 + 22 + (lines - 1) * 20));
}

std::unique_ptr<QTextDocument> ListItemCellView::makeDocument(ListItem* item) const
{
    ++layouts;
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    const auto& notes = item->attributedNotes();
    if (notes)
        NotesDocument::setRichText(document.get(),
                                   isExpanded(item) ? *notes : NotesDocument::firstLine(*notes));
    if (m_controller)
        highlightFirstMatch(document.get(), m_controller->searchTerm());
    NotesDocument::prepare(document.get(), cardWidth() - 2 * CardGeometry::horizontalMargin);
    document->documentLayout()->documentSize(); // lays it out now
    return document;
}

QTextDocument* ListItemCellView::documentFor(ListItem* item)
{
    if (const auto it = m_documents.constFind(item); it != m_documents.cend()) {
        if (m_recentlyPainted.last() != item) {
            m_recentlyPainted.removeOne(item);
            m_recentlyPainted.append(item);
        }
        return it->get();
    }
    // Take the pointer before evicting: removing from the hash may move its entries.
    QTextDocument* document =
        m_documents.insert(item, std::shared_ptr<QTextDocument>(makeDocument(item)))->get();
    m_recentlyPainted.append(item);
    if (m_recentlyPainted.size() > keptDocuments)
        m_documents.remove(m_recentlyPainted.takeFirst());
    return document;
}

int ListItemCellView::notesHeightFor(ListItem* item)
{
    QTextDocument* document = documentFor(item);
    const bool multiLine =
        NotesDocument::hasMoreLines(item->attributedNotes().value_or(RichText()));
    return int(std::ceil(NotesDocument::rowNotesHeight(document, isExpanded(item), multiLine)));
}

bool ListItemCellView::measureExactly(ListItem* item)
{
    const int before = heightForItem(item);
    const int height = notesHeightFor(item) + CardGeometry::fixedHeight;
    m_heights.insert(item, {height, true});
    return height != before;
}

void ListItemCellView::setNotesHeightFromEditor(ListItem* item, int notesHeight)
{
    // The painted document is out of date; it is made again only when painted.
    forgetDocument(item);
    const int height = notesHeight + CardGeometry::fixedHeight;
    const auto it = m_heights.constFind(item);
    const bool changed = it == m_heights.cend() || it->height != height;
    m_heights.insert(item, {height, true});
    if (changed)
        requestLayout(item);
}

void ListItemCellView::invalidate(const ListItem* item)
{
    m_heights.remove(item);
    forgetDocument(item);
}

void ListItemCellView::forgetDocument(const ListItem* item)
{
    if (m_documents.remove(item))
        m_recentlyPainted.removeOne(item);
}

void ListItemCellView::invalidateAll()
{
    m_heights.clear();
    invalidateDocuments();
}

void ListItemCellView::invalidateDocuments()
{
    m_documents.clear();
    m_recentlyPainted.clear();
}

void ListItemCellView::requestLayout(const ListItem* item)
{
    if (!m_controller)
        return;
    const QModelIndex index = m_controller->tableModel()->indexForItem(item);
    if (index.isValid())
        Q_EMIT sizeHintChanged(index);
}

CardGeometry ListItemCellView::geometryFor(ListItem* item, const QRect& rowRect)
{
    return CardGeometry(rowRect, heightForItem(item) - CardGeometry::fixedHeight);
}

QSize ListItemCellView::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* self = const_cast<ListItemCellView*>(this);
    const int width = cardWidth();
    if (!m_controller)
        return {width, 50};
    return {width, self->m_controller->heightOfRow(index.row()) + gapAbove(index.row())};
}

void ListItemCellView::setDropGap(int row, int height)
{
    m_gapRow = height > 0 ? row : -1;
    m_gapHeight = m_gapRow >= 0 ? height : 0;
}

QRect ListItemCellView::contentRect(const QModelIndex& index, const QRect& rowRect) const
{
    return rowRect.adjusted(0, gapAbove(index.row()), 0, 0);
}

void ListItemCellView::paintGap(QPainter* painter, const QRect& gap) const
{
    // The slot the dragged cards would land in.
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF slot = QRectF(gap).adjusted(CardGeometry::horizontalMargin + 0.5, 3.5,
                                             -CardGeometry::horizontalMargin - 0.5, -3.5);
    if (slot.height() > 4) {
        QColor fill = QApplication::palette().color(QPalette::Highlight);
        fill.setAlphaF(0.12f);
        QPainterPath path;
        path.addRoundedRect(slot, CardGeometry::cornerRadius, CardGeometry::cornerRadius);
        painter->fillPath(path, fill);
        painter->strokePath(
            path, QPen(QApplication::palette().color(QPalette::Highlight), 1.5, Qt::DashLine));
    }
    painter->restore();
}

void ListItemCellView::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    auto* self = const_cast<ListItemCellView*>(this);
    const bool hovered = index.row() == m_hoveredRow;
    const QRect rect = contentRect(index, option.rect);
    if (rect.top() > option.rect.top())
        paintGap(painter, QRect(option.rect.topLeft(),
                                QSize(option.rect.width(), rect.top() - option.rect.top())));
    switch (CardRowKind(index.data(CardTableModel::RowKindRole).toInt())) {
    case CardRowKind::Spacer:
        return;
    case CardRowKind::Header:
        paintHeader(painter, rect);
        return;
    case CardRowKind::AddCard:
        paintAddCard(painter, rect, hovered);
        return;
    case CardRowKind::Card:
        break;
    }
    ListItem* item = CardTableModel::itemFor(index);
    if (!item)
        return;
    self->paintCard(painter, rect, item, option.state & QStyle::State_Selected, hovered,
                    item != m_editingItem);
}

void ListItemCellView::paintCard(QPainter* painter, const QRect& rowRect, ListItem* item,
                                 bool selected, bool hovered, bool withNotes)
{
    if (!hasExactHeight(item) && measureExactly(item))
        requestLayout(item); // painted from an estimate: the view lays out again
    const CardGeometry g = geometryFor(item, rowRect);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    QPainterPath card;
    card.addRoundedRect(QRectF(g.card).adjusted(0.5, 0.5, -0.5, -0.5), CardGeometry::cornerRadius,
                        CardGeometry::cornerRadius);
    painter->fillPath(card, Palette::cardBackgroundColour());
    const QPalette& palette = QApplication::palette();
    const QColor border =
        selected ? palette.color(QPalette::Highlight) : QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.12f);
    painter->strokePath(card, QPen(border, selected ? 2.0 : 1.0));
    if (!withNotes) {
        painter->restore();
        return; // the editor shows the rest
    }

    const bool done = item->isDone();
    QTextDocument* document = documentFor(item);
    const bool hasMoreLines = item->notesPlainText().contains(u'\n');
    paintTopBar(painter, g, item, hovered, hasMoreLines);

    painter->save();
    painter->setClipRect(g.notes);
    painter->translate(g.notes.left() + NoteFormat::notePadding,
                       g.notes.top() + NoteFormat::verticalInset);
    painter->setOpacity(done ? 0.3 : 1.0);
    const qreal shownHeight = g.notes.height() - 2 * NoteFormat::verticalInset;
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = CardPalette::palette();
    context.clip = QRectF(0, 0, document->textWidth(), shownHeight);
    painter->setClipRect(context.clip, Qt::IntersectClip);
    document->documentLayout()->draw(painter, context);
    NotesDocument::paintCheckBoxes(painter, document, shownHeight);
    painter->restore();

    paintBottomBar(painter, g, item);
    painter->restore();
}

void ListItemCellView::paintTopBar(QPainter* painter, const CardGeometry& g, ListItem* item,
                                   bool hovered, bool hasMoreLines) const
{
    QStyleOptionButton box;
    box.rect = g.checkBox;
    box.state = QStyle::State_Enabled | (item->isDone() ? QStyle::State_On : QStyle::State_Off);
    box.palette = CardPalette::palette();
    // Where a check box of that size draws its box, so the editor's real one covers it exactly.
    box.rect = QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box);
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter);

    if (item->isDone() && item->doneDate().isValid()) {
        painter->setFont(smallFont());
        painter->setPen(CardPalette::palette().color(QPalette::PlaceholderText));
        painter->drawText(g.doneDate, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          DateText::forDate(item->doneDate()));
    }
    const bool emptyNotes = item->notesPlainText().isEmpty();
    if (hasMoreLines || (emptyNotes && hovered))
        renderImage(painter,
                    isExpanded(item) ? QStringLiteral("UpArrow") : QStringLiteral("DownArrow"),
                    g.expandButton);
    renderImage(painter,
                item->isPriority() ? QStringLiteral("flag-filled") : QStringLiteral("flag"),
                g.flag);
}

void ListItemCellView::paintBottomBar(QPainter* painter, const CardGeometry& g,
                                      ListItem* item) const
{
    const bool done = item->isDone();
    painter->save();
    painter->setOpacity(done ? 0.3 : 1.0);
    painter->setClipRect(g.tags);
    const QFont font = smallFont();
    int x = g.tags.left();
    for (const Tag* tag : item->tags()) {
        const QSize size = TagTokenPainter::sizeFor(tag->name(), font);
        const QRect rect(x, g.tags.top() + (g.tags.height() - size.height()) / 2,
                         std::min(size.width(), g.tags.right() - x + 1), size.height());
        if (rect.width() < 16)
            break;
        TagTokenPainter::paint(painter, rect, tag->name(), tag->colour(), font);
        x = rect.right() + 5;
    }
    painter->restore();

    const QString title =
        item->dueDate().isValid() ? DateText::forDate(item->dueDate()) : QString();
    const QRect pill = g.dueDatePill(DueDatePill::sizeFor(title));
    DueDatePill::paint(painter, pill, title, dueDateColour(*item), false);
}

void ListItemCellView::paintHeader(QPainter* painter, const QRect& rect) const
{
    painter->save();
    QFont font = smallFont();
    font.setWeight(QFont::DemiBold);
    painter->setFont(font);
    painter->setPen(QApplication::palette().color(QPalette::PlaceholderText));
    const QRect text =
        rect.adjusted(CardGeometry::horizontalMargin + 4, 0, -CardGeometry::horizontalMargin, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, tr("Archived"));
    painter->restore();
}

void ListItemCellView::paintAddCard(QPainter* painter, const QRect& rect, bool hovered) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF button = QRectF(rect).adjusted(CardGeometry::horizontalMargin + 0.5, 6.5,
                                                -CardGeometry::horizontalMargin - 0.5, -6.5);
    QPainterPath path;
    path.addRoundedRect(button, 8, 8);
    const QPalette& palette = QApplication::palette();
    if (hovered) {
        // A tint of the text colour lightens a dark board and darkens a light one.
        QColor tint = palette.color(QPalette::WindowText);
        tint.setAlphaF(0.08f);
        painter->fillPath(path, tint);
    }
    QPen pen(palette.color(QPalette::PlaceholderText), 1.0, Qt::DashLine);
    painter->strokePath(path, pen);
    painter->setPen(palette.color(QPalette::WindowText));
    painter->drawText(button, Qt::AlignCenter, tr("+ Add Card"));
    painter->restore();
}

ListItemCellView::Control ListItemCellView::controlAt(const QModelIndex& index,
                                                      const QRect& rowRect, const QPoint& point)
{
    const auto kind = CardRowKind(index.data(CardTableModel::RowKindRole).toInt());
    if (kind == CardRowKind::AddCard)
        return Control::AddCard;
    ListItem* item = CardTableModel::itemFor(index);
    if (kind != CardRowKind::Card || !item)
        return Control::None;
    const CardGeometry g = geometryFor(item, contentRect(index, rowRect));
    const auto hit = [&point](const QRect& rect) {
        return rect.adjusted(-3, -3, 3, 3).contains(point);
    };
    if (hit(g.checkBox))
        return Control::CheckBox;
    if (hit(g.flag))
        return Control::Flag;
    if (hit(g.expandButton) &&
        (item->notesPlainText().contains(u'\n') || item->notesPlainText().isEmpty()))
        return Control::ExpandButton;
    const QString title =
        item->dueDate().isValid() ? DateText::forDate(item->dueDate()) : QString();
    if (hit(g.dueDatePill(DueDatePill::sizeFor(title))))
        return Control::DueDate;
    if (g.tags.contains(point))
        return Control::Tags;
    if (checklistLineAt(item, rowRect, point))
        return Control::ChecklistBox;
    if (g.card.contains(point))
        return Control::Notes;
    return Control::None;
}

bool ListItemCellView::editorEvent(QEvent* event, QAbstractItemModel*,
                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || (mouse->modifiers() & Qt::ControlModifier))
        return false;
    const Control control = controlAt(index, option.rect, mouse->position().toPoint());
    const bool direct = control == Control::CheckBox || control == Control::Flag ||
                        control == Control::ExpandButton || control == Control::DueDate ||
                        control == Control::AddCard || control == Control::ChecklistBox;
    ListItem* item = CardTableModel::itemFor(index);
    const std::optional<int> line =
        control == Control::ChecklistBox
            ? checklistLineAt(item, contentRect(index, option.rect), mouse->position().toPoint())
            : std::nullopt;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        m_pressedIndex = direct ? QPersistentModelIndex(index) : QPersistentModelIndex();
        m_pressedControl = direct ? control : Control::None;
        m_pressedLine = line;
        return direct;
    }
    // Release: act when it ends the press on the same control.
    const bool act = m_pressedControl != Control::None && m_pressedControl == control &&
                     m_pressedIndex == index && m_pressedLine == line;
    const bool consumed = m_pressedControl != Control::None;
    m_pressedIndex = QPersistentModelIndex();
    m_pressedControl = Control::None;
    m_pressedLine.reset();
    if (!act)
        return consumed;
    auto* column = qobject_cast<KanbanColumnListViewController*>(m_controller.data());
    switch (control) {
    case Control::CheckBox:
        if (m_controller && item)
            m_controller->flipDoneStateOfItem(item);
        break;
    case Control::Flag:
        toggleFlag(item);
        break;
    case Control::ExpandButton:
        toggleExpanded(item);
        break;
    case Control::DueDate:
        if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
            openDatePicker(item, view->viewport(), geometryFor(item, option.rect).dueDateArea);
        break;
    case Control::AddCard:
        if (column)
            column->addNewItem();
        break;
    case Control::ChecklistBox:
        if (line)
            checkUncheckLine(item, *line);
        break;
    default:
        break;
    }
    return true;
}

std::optional<int> ListItemCellView::checklistLineAt(ListItem* item, const QRect& rowRect,
                                                     const QPoint& point)
{
    if (!item || item == m_editingItem || !item->attributedNotes())
        return std::nullopt;
    const CardGeometry g = geometryFor(item, rowRect);
    if (!g.notes.contains(point))
        return std::nullopt;
    // The painted document of a collapsed card holds its first line, whose number it keeps.
    const QPointF inDocument = QPointF(point) - QPointF(g.notes.left() + NoteFormat::notePadding,
                                                        g.notes.top() + NoteFormat::verticalInset);
    return NotesDocument::checkBoxAt(documentFor(item), inDocument);
}

void ListItemCellView::checkUncheckLine(ListItem* item, int line)
{
    if (!item || !item->attributedNotes())
        return;
    RichText notes = NotesDocument::withLineFeeds(*item->attributedNotes());
    if (!NoteStyle::checkUncheckLine(notes, line))
        return;
    auto* command =
        new ChangeNotesCommand(item, item->attributedNotes(), notes, tr("Toggle Checklist"), false);
    if (QUndoStack* stack = AppDelegate::sharedUndoStack()) {
        stack->push(command);
    } else {
        command->redo();
        delete command;
    }
}

void ListItemCellView::toggleFlag(ListItem* item)
{
    if (!item)
        return;
    item->setPriority(item->isPriority() ? 0 : 1);
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (m_controller)
        m_controller->tableModel()->itemChanged(item);
}

void ListItemCellView::toggleExpanded(ListItem* item)
{
    if (!item)
        return;
    item->setNotesExpanded(!isExpanded(item));
    if (AppDelegate* delegate = AppDelegate::shared())
        delegate->save();
    if (m_controller)
        m_controller->updateHeightFor(item);
    else
        invalidate(item);
}

void ListItemCellView::openDatePicker(ListItem* item, QWidget* anchorParent,
                                      const QRect& anchorRect)
{
    if (!item)
        return;
    // A transparent anchor where the pill is; it goes when the picker closes.
    auto* anchor = new QWidget(anchorParent);
    anchor->setGeometry(anchorRect);
    anchor->setAttribute(Qt::WA_TransparentForMouseEvents);
    anchor->show();
    auto* receiver = new ChangeDueDateReceiver(item, anchor);
    const std::optional<QDateTime> date =
        item->dueDate().isValid() ? item->dueDate() : defaultDueDate();
    DatePickerViewController* picker = DatePickerViewController::popUp(anchor, date, receiver);
    connect(picker, &QObject::destroyed, anchor, &QObject::deleteLater);
}

void ListItemCellView::setHoveredRow(int row)
{
    m_hoveredRow = row;
}

QWidget* ListItemCellView::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const
{
    ListItem* item = CardTableModel::itemFor(index);
    if (!item)
        return nullptr;
    return new CardEditor(const_cast<ListItemCellView*>(this), parent);
}

void ListItemCellView::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* card = qobject_cast<CardEditor*>(editor))
        card->setItem(CardTableModel::itemFor(index));
}

void ListItemCellView::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const
{
    if (auto* card = qobject_cast<CardEditor*>(editor))
        card->storeNotes();
}

void ListItemCellView::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    editor->setGeometry(contentRect(index, option.rect));
}

void ListItemCellView::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    // The view lets go of the editor (its row went, or editing ended): it must not end
    // editing a second time when the keyboard leaves it.
    if (auto* card = qobject_cast<CardEditor*>(editor)) {
        card->detach();
        card->storeNotes();
        if (AppDelegate* delegate = AppDelegate::shared())
            delegate->save();
        if (card->item() == m_editingItem)
            const_cast<ListItemCellView*>(this)->setEditingItem(nullptr);
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}
