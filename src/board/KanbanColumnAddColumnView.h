#pragma once

#include <QAbstractButton>

class KanbanViewController;

// The narrow cell after the last column: a round "+" button that appends a column. Only the
// round button takes clicks; the rest of the cell is the board's.
class KanbanColumnAddColumnView final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int cornerRadius = 13;

    explicit KanbanColumnAddColumnView(KanbanViewController* board, QWidget* parent = nullptr);

    KanbanViewController* kanbanViewController() const { return m_kanbanViewController; }
    // The round button within the cell.
    QRect roundButtonBackground() const;
    void setOnPicture(bool onPicture);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void addColumn();

    KanbanViewController* m_kanbanViewController;
    bool m_onPicture = false;
    bool m_hovered = false;
};
