#pragma once

#include <QHash>
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <memory>
#include <optional>

class CardGeometry;
class ListItem;
class ListViewController;
class QTextDocument;
class Tag;

// A card of a card table: painted for every row that shows one, with an editor widget
// (CardEditor) opened only on the card being edited. Clicks on the painted done box, flag,
// expand button and due date work directly.
//
// Scale: row heights are cached per card and re-measured per card. Cards never painted get a
// cheap estimate from the size of their stored notes; painting a card measures it exactly (and
// asks the view to lay out again when the estimate was off). Laid-out documents are kept for a
// few recently painted cards only.
class ListItemCellView final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // How many laid-out notes the painter keeps: a few screens of cards.
    static constexpr qsizetype keptDocuments = 48;

    enum class Control
    {
        None,
        CheckBox,
        Flag,
        ExpandButton,
        DueDate,
        ChecklistBox,
        Notes,
        Tags,
        AddCard,
    };

    explicit ListItemCellView(QObject* parent = nullptr);
    ~ListItemCellView() override;

    ListViewController* listViewController() const { return m_controller; }
    void setListViewController(ListViewController* controller) { m_controller = controller; }

    // 0 in a list, 1 on a board.
    int presentedContext() const { return m_presentedContext; }
    void setPresentedContext(int context) { m_presentedContext = context; }

    // The row height of a card (cached; an estimate until the card is measured).
    int heightForItem(ListItem* item);
    bool hasExactHeight(const ListItem* item) const;
    // Measures the card now; true when its height changed.
    bool measureExactly(ListItem* item);
    // Forget what is known of the card's layout (its notes, flags or tags changed).
    void invalidate(const ListItem* item);
    // Forget the card's painted document but not its height.
    void forgetDocument(const ListItem* item);
    // Forget every layout (the width changed).
    void invalidateAll();
    // Forget the painted documents but not the heights (the search term changed).
    void invalidateDocuments();
    int notesHeightFor(ListItem* item);

    // Which control of a card lies under a point of its row.
    Control controlAt(const QModelIndex& index, const QRect& rowRect, const QPoint& point);
    CardGeometry geometryFor(ListItem* item, const QRect& rowRect);
    // The checklist line whose painted box lies under a point of the card's row, if any.
    std::optional<int> checklistLineAt(ListItem* item, const QRect& rowRect, const QPoint& point);
    // Ticks or unticks a checklist line of the card without opening its editor, as a "Toggle
    // Checklist" step; a line that is no checklist line changes nothing.
    void checkUncheckLine(ListItem* item, int line);

    // Card layouts made so far (documents laid out to measure or paint a card).
    static qint64 layoutCount();

    // The card controls' actions, also used by the editor.
    void toggleFlag(ListItem* item);
    void toggleExpanded(ListItem* item);
    void openDatePicker(ListItem* item, QWidget* anchorParent, const QRect& anchorRect);
    void setHoveredRow(int row);
    int hoveredRow() const { return m_hoveredRow; }
    // While cards are dragged over the table, the row they would go above opens a gap of this
    // height above its contents (row -1: none).
    void setDropGap(int row, int height);
    int gapAbove(int row) const { return row == m_gapRow ? m_gapHeight : 0; }
    // A row's rectangle less the gap above it.
    QRect contentRect(const QModelIndex& index, const QRect& rowRect) const;

    // The card an editor shows: the painted card leaves its parts to the editor.
    void setEditingItem(const ListItem* item) { m_editingItem = item; }
    const ListItem* editingItem() const { return m_editingItem; }
    // The editor measured the card's notes itself: no second layout is needed.
    void setNotesHeightFromEditor(ListItem* item, int notesHeight);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // Paints one card into rowRect (also used for drag pictures); without notes, only the card
    // itself, for the editor to show the rest.
    void paintCard(QPainter* painter, const QRect& rowRect, ListItem* item, bool selected,
                   bool hovered, bool withNotes = true);
    // The laid-out document the card is painted with (its first line when collapsed).
    QTextDocument* documentFor(ListItem* item);

Q_SIGNALS:
    // A tag was renamed or recoloured.
    void tagsChanged();

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    struct Height
    {
        int height = 0;
        bool exact = false;
    };
    std::unique_ptr<QTextDocument> makeDocument(ListItem* item) const;
    int estimateNotesHeight(const ListItem* item) const;
    int cardWidth() const;
    bool isExpanded(const ListItem* item) const;
    void paintHeader(QPainter* painter, const QRect& rect) const;
    void paintAddCard(QPainter* painter, const QRect& rect, bool hovered) const;
    void paintGap(QPainter* painter, const QRect& gap) const;
    void paintTopBar(QPainter* painter, const CardGeometry& g, ListItem* item, bool hovered,
                     bool hasMoreLines) const;
    void paintBottomBar(QPainter* painter, const CardGeometry& g, ListItem* item) const;
    void requestLayout(const ListItem* item);

    QPointer<ListViewController> m_controller;
    int m_presentedContext = 1;
    int m_width = -1;
    int m_hoveredRow = -1;
    int m_gapRow = -1;
    int m_gapHeight = 0;
    const ListItem* m_editingItem = nullptr;
    QHash<const ListItem*, Height> m_heights;
    QHash<const ListItem*, std::shared_ptr<QTextDocument>> m_documents;
    QList<const ListItem*> m_recentlyPainted; // most recent last
    QPersistentModelIndex m_pressedIndex;
    Control m_pressedControl = Control::None;
    std::optional<int> m_pressedLine;
};
