#pragma once

#include <QPointer>
#include <QString>
#include <QUndoCommand>

class KanbanColumn;
class KanbanViewController;

// "Change Column Title": renames a column; undo gives it its previous title back.
class ChangeColumnTitleCommand final : public QUndoCommand
{
public:
    ChangeColumnTitleCommand(KanbanViewController* board, KanbanColumn* column,
                             const QString& newTitle);

    void redo() override;
    void undo() override;

    static QString actionName();

private:
    bool rename(const QString& title);

    QPointer<KanbanViewController> m_board;
    KanbanColumn* m_column; // the store keeps deleted objects; a rebuilt column is followed
    QString m_oldTitle;
    QString m_newTitle;
};
