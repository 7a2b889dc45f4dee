#pragma once

#include "model/RichText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DisplayItem;
class Kanban;
class KanbanColumn;
class ListItem;
class ObjectContext;
class StoredObject;
class Tag;

// What one upgrade or repair will change, recorded before anything is changed: it can be
// counted and described first, then made, taken back and made again. Objects are found again
// through ObjectContext::live() at each step, so one that went in the meantime is left alone.
class DataChanges final
{
public:
    // Where cards and columns that belong nowhere are put.
    static constexpr auto recoveredBoardTitle = "Recovered";
    static constexpr auto recoveredColumnTitle = "Recovered cards";

    explicit DataChanges(ObjectContext& context);

    void changeNotes(ListItem* card, const std::optional<RichText>& notes);
    void changeDone(ListItem* card, std::optional<bool> done);
    void changeColour(Tag* tag, qint16 colour);
    // The card becomes the last card of the column.
    void moveCard(ListItem* card, KanbanColumn* column, const QString& description = {});
    // Into the column "Recovered cards" of the top-level board "Recovered", made when missing.
    void recoverCard(ListItem* card, const QString& description);
    // Into the board "Recovered", as its last column.
    void recoverColumn(KanbanColumn* column, const QString& description);
    // The node becomes the last child of the parent.
    void attachNode(DisplayItem* node, DisplayItem* parent, const QString& description);
    void attachTag(Tag* tag, Kanban* board, const QString& description);
    // Deletes an object that holds nothing (an empty second Root, a tag no card carries).
    // Taking it back is not possible: only repairs without undo use it.
    void deleteEmpty(StoredObject* object, const QString& description);

    // A line for the console, written when the changes are made.
    void log(const QString& line) { m_log.append(line); }

    qsizetype size() const { return m_changes.size(); }
    bool isEmpty() const { return m_changes.isEmpty(); }
    // One line for each change that has a description, in order.
    QStringList descriptions() const;

    void apply();
    void revert();

private:
    // Steps are given the changes they belong to: the record may have moved since.
    using Step = std::function<void(DataChanges&)>;
    struct Change
    {
        Step apply;
        Step revert;
        QString description;
    };

    void add(Step apply, Step revert, const QString& description = {});
    Kanban* recoveredBoard();
    KanbanColumn* recoveredColumn();
    // Deletes the board "Recovered" when this run made it and nothing is left in it.
    void dropRecoveredBoardIfUnused();

    ObjectContext* m_context; // a pointer, so that a record can be moved
    QList<Change> m_changes;
    QStringList m_log;
    Kanban* m_madeBoard = nullptr; // the board "Recovered", when the last apply() made it
};
