#pragma once

#include <QMenu>

#include <functional>

class ColourCircleButton;
class DisplayItem;

// The menu of the toolbar's appearance button: the seven colours and the first thirty built-in
// pictures for the item shown, rebuilt each time it opens. Choices are undoable.
class ToolbarInfoMenu final : public QMenu
{
    Q_OBJECT

public:
    static constexpr int menuWidth = 260;
    static constexpr int thumbnailButtonSize = 48;

    explicit ToolbarInfoMenu(QWidget* parent = nullptr);

    // What the menu acts on: the window's current item.
    void setItemProvider(std::function<DisplayItem*()> provider)
    {
        m_itemProvider = std::move(provider);
    }

    void populateMenu();
    void colourButtonSelected(int colour);
    void backgroundSelected(int tag);

    const QList<ColourCircleButton*>& colourButtons() const { return m_colourButtons; }

private:
    DisplayItem* currentItem() const;
    QWidget* colourRow();
    QWidget* pictureGrid();

    std::function<DisplayItem*()> m_itemProvider;
    QList<ColourCircleButton*> m_colourButtons;
};
