#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>

class KanbanViewController;
class QCheckBox;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class Tag;

// The tag filter popover: one check box per tag of the board shown, in the board's tag order,
// checked for the tags of the board's filter. Checking and unchecking sets the board's tag
// filter to the checked tags, or to none when no box is checked; Clear All removes the filter.
class FilterViewController final : public QFrame
{
    Q_OBJECT

public:
    // How far apart the check boxes are.
    static constexpr int rowHeight = 20;
    // Rows shown before the list scrolls.
    static constexpr int visibleRows = 15;

    explicit FilterViewController(KanbanViewController* kanbanViewController,
                                  QWidget* parent = nullptr);

    // Opens the popover under anchor (a child of it, deleted when closed).
    static FilterViewController* popUp(QWidget* anchor, KanbanViewController* kanbanViewController);

    // Builds the check boxes from the board's tags and filter.
    void setup();
    // Sets the board's tag filter from the checked boxes.
    void setFilter();
    // Unchecks every box and removes the filter.
    void clearAllFilter();

    const QList<QCheckBox*>& checkButtons() const { return m_checkButtons; }
    QWidget* checkboxContainer() const { return m_checkboxContainer; }
    QPushButton* clearAllButton() const { return m_clearAllButton; }

private:
    QPointer<KanbanViewController> m_kanbanViewController;
    QList<QCheckBox*> m_checkButtons;
    QList<Tag*> m_tags; // parallel to m_checkButtons
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_checkboxContainer = nullptr;
    QVBoxLayout* m_checkboxLayout = nullptr;
    QWidget* m_noTagsLabel = nullptr;
    QPushButton* m_clearAllButton = nullptr;
};
