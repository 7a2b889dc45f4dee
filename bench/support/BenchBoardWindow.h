#pragma once

#include <QList>
#include <QWidget>

class KanbanViewController;
class QAbstractItemView;

// The real board view in a window of its own, shown empty and ready to be handed a board.
struct BenchBoardWindow
{
    static constexpr QSize size{1600, 900};

    QWidget window;
    KanbanViewController* board;

    BenchBoardWindow();

    // The viewports of the columns in view, and every column's card table.
    QList<QWidget*> visibleViewports() const;
    QList<QAbstractItemView*> tables() const;

    // Lets the layouts and the posted paints of a change run.
    static void settle();
};
