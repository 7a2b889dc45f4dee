#include "ToolbarInfoMenu.h"

#include "BackgroundImage.h"
#include "ChangeBackgroundCommand.h"
#include "ChangeColourCommand.h"
#include "ColourCircleButton.h"
#include "Palette.h"
#include "model/DisplayItem.h"
#include "store/AppDelegate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QToolButton>
#include <QUndoStack>
#include <QWidgetAction>

ToolbarInfoMenu::ToolbarInfoMenu(QWidget* parent)
    : QMenu(parent)
{
    setFixedWidth(menuWidth);
    connect(this, &QMenu::aboutToShow, this, &ToolbarInfoMenu::populateMenu);
}

DisplayItem* ToolbarInfoMenu::currentItem() const
{
    DisplayItem* item = m_itemProvider ? m_itemProvider() : nullptr;
    return item && !item->isDeleted() ? item : nullptr;
}

void ToolbarInfoMenu::populateMenu()
{
    clear();
    m_colourButtons.clear();
    addSection(tr("Colour"));
    auto* colours = new QWidgetAction(this);
    colours->setDefaultWidget(colourRow());
    addAction(colours);
    addSection(tr("Background Image"));
    auto* pictures = new QWidgetAction(this);
    pictures->setDefaultWidget(pictureGrid());
    addAction(pictures);
}

QWidget* ToolbarInfoMenu::colourRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(0);
    const DisplayItem* item = currentItem();
    for (int colour = 0; colour < Palette::count; ++colour) {
        auto* button = new ColourCircleButton(colour, row);
        button->setState(item && item->colour() == colour ? 1 : 0);
        button->setEnabled(item != nullptr);
        connect(button, &QAbstractButton::clicked, this,
                [this, colour] { colourButtonSelected(colour); });
        layout->addWidget(button);
        m_colourButtons.append(button);
    }
    return row;
}

QWidget* ToolbarInfoMenu::pictureGrid()
{
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    constexpr int perRow = 5;
    const bool enabled = currentItem() != nullptr;
    for (int tag = 0; tag < BackgroundImage::menuCount; ++tag) {
        auto* button = new QToolButton(grid);
        button->setAutoRaise(true);
        button->setFixedSize(thumbnailButtonSize, thumbnailButtonSize);
        button->setIconSize(QSize(thumbnailButtonSize - 6, thumbnailButtonSize - 6));
        const QString thumb = BackgroundImage::imageNameFromIndex(tag + 1, true);
        button->setIcon(QIcon(BackgroundImage::resourcePath(thumb)));
        button->setProperty("tag", tag);
        button->setAccessibleName(tr("Background %1").arg(tag + 1));
        button->setEnabled(enabled);
        connect(button, &QToolButton::clicked, this, [this, tag] { backgroundSelected(tag); });
        layout->addWidget(button, tag / perRow, tag % perRow);
    }
    return grid;
}

void ToolbarInfoMenu::colourButtonSelected(int colour)
{
    DisplayItem* item = currentItem();
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!item || !stack)
        return;
    if (item->colour() != colour)
        stack->push(new ChangeColourCommand(item, qint16(colour)));
    for (ColourCircleButton* button : std::as_const(m_colourButtons))
        button->setState(button->tag() == colour ? 1 : 0);
}

void ToolbarInfoMenu::backgroundSelected(int tag)
{
    DisplayItem* item = currentItem();
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!item || !stack)
        return;
    const QString name = BackgroundImage::imageNameFromIndex(tag + 1, false);
    if (item->bgImage() != name)
        stack->push(new ChangeBackgroundCommand(item, name));
    close();
}
