#include "CardGeometry.h"

CardGeometry::CardGeometry(const QRect& rowRect, int notesHeight)
{
    card = rowRect.adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
    const int top = card.top() + 4;
    const int left = card.left() + innerPadding;
    const int right = card.right() - innerPadding + 1;
    const int controlTop = top + (topBarHeight - controlSize) / 2;
    checkBox = QRect(left, controlTop, controlSize, controlSize);
    flag = QRect(right - controlSize, controlTop, controlSize, controlSize);
    expandButton = QRect(flag.left() - 4 - controlSize, controlTop, controlSize, controlSize);
    doneDate =
        QRect(checkBox.right() + 7, top, expandButton.left() - checkBox.right() - 12, topBarHeight);
    notes = QRect(card.left(), top + topBarHeight, card.width(), notesHeight);
    bottomBar = QRect(card.left(), notes.bottom() + 1, card.width(), bottomBarHeight);
    dueDateArea = QRect(right - 110, bottomBar.top(), 110, bottomBarHeight - 6);
    tags = QRect(left, bottomBar.top(), dueDateArea.left() - left - 6, bottomBarHeight - 6);
}

QRect CardGeometry::dueDatePill(const QSize& pillSize) const
{
    const int width = std::min(pillSize.width(), dueDateArea.width());
    return {dueDateArea.right() - width + 1,
            dueDateArea.top() + (dueDateArea.height() - pillSize.height()) / 2, width,
            pillSize.height()};
}
