#include "BenchBoardWindow.h"

#include "board/KanbanColumnTableView.h"
#include "board/KanbanColumnViewItem.h"
#include "board/KanbanViewController.h"

#include <QCoreApplication>
#include <QTest>
#include <QVBoxLayout>

BenchBoardWindow::BenchBoardWindow()
{
    window.resize(size);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    board = new KanbanViewController(&window);
    layout->addWidget(board);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the benchmark's board window was not shown");
    settle();
}

QList<QWidget*> BenchBoardWindow::visibleViewports() const
{
    QList<QWidget*> viewports;
    for (int i = 0; board->itemAt(i); ++i) {
        QWidget* viewport = board->itemAt(i)->tableView()->viewport();
        if (!viewport->visibleRegion().isEmpty())
            viewports.append(viewport);
    }
    return viewports;
}

QList<QAbstractItemView*> BenchBoardWindow::tables() const
{
    QList<QAbstractItemView*> views;
    for (int i = 0; board->itemAt(i); ++i)
        views.append(board->itemAt(i)->tableView());
    return views;
}

void BenchBoardWindow::settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}
