#pragma once

#include <QString>
#include <QUndoCommand>

class List;
class ListItem;

// "New Card" in a plain list: an item at the top with the given title ("New Item" for an empty
// one). Undo deletes the item; redo adds a fresh one with the same title.
class NewListItemCommand final : public QUndoCommand
{
public:
    NewListItemCommand(List* list, const QString& text);

    void redo() override;
    void undo() override;

    static QString titleFor(const QString& text);
    ListItem* item() const { return m_item; }

private:
    List* m_list; // the store keeps deleted objects; a rebuilt list is followed
    QString m_title;
    ListItem* m_item = nullptr;
};
