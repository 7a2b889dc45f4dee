#pragma once

#include "RichText.h"
#include "StoredObject.h"

#include <QDateTime>
#include <QString>

#include <optional>

class KanbanColumn;
class List;
class Tag;

// A card of a board column, or an item of a list (or both: a list item sent to a board).
class ListItem final : public StoredObject
{
public:
    static constexpr Entity staticEntity = Entity::ListItem;
    Entity entity() const override { return staticEntity; }

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // The rich-text notes; absent when the card never had any. Stored notes are decoded on
    // first use, so that opening a large store does not decode every card.
    const std::optional<RichText>& attributedNotes() const;
    void setAttributedNotes(const std::optional<RichText>& notes);
    QString notesPlainText() const;

    // Dates are invalid when absent.
    QDateTime dateAdded() const { return m_dateAdded; }
    void setDateAdded(const QDateTime& date);
    QDateTime dueDate() const { return m_dueDate; }
    void setDueDate(const QDateTime& date);
    QDateTime doneDate() const { return m_doneDate; }
    void setDoneDate(const QDateTime& date);

    // Boolean numbers that may be absent. New cards start with done and archived false.
    std::optional<bool> done() const { return m_done; }
    void setDone(std::optional<bool> done);
    bool isDone() const { return m_done.value_or(false); }
    std::optional<bool> archived() const { return m_archived; }
    void setArchived(std::optional<bool> archived);
    bool isArchived() const { return m_archived.value_or(false); }
    std::optional<qint16> priority() const { return m_priority; }
    void setPriority(std::optional<qint16> priority);
    bool isPriority() const { return m_priority.value_or(0) != 0; }
    std::optional<bool> notesExpanded() const { return m_notesExpanded; }
    void setNotesExpanded(std::optional<bool> expanded);
    std::optional<double> timeWorked() const { return m_timeWorked; }
    void setTimeWorked(std::optional<double> time);

    KanbanColumn* column() const { return m_column; }
    void setColumn(KanbanColumn* column); // becomes the column's last card
    List* list() const { return m_list; }
    void setList(List* list); // becomes the list's last item

    // The card's tags in the order given to them; each tag's items follow.
    const QList<Tag*>& tags() const { return m_tags; }
    void setTags(const QList<Tag*>& tags);

    // Overdue: now is strictly later than the due date. Due soon: by the definition in the
    // user defaults. Neither looks at done or archived.
    bool isOverdue() const;
    bool isDueSoon() const;

    // The store's view of the notes: the compact encoding, kept as loaded until changed. In
    // the form the store keeps, attachment bytes are named by digest and kept apart: they are
    // notesBytesApart(), whose bytes are null for notes as loaded (the store holds them).
    QByteArray encodedNotes(bool bytesApart = true) const;
    QList<RichText::BytesApart> notesBytesApart() const;
    void setEncodedNotes(const QByteArray& encoded, const QList<QByteArray>& digests = {});

private:
    friend class ObjectContext;
    friend class KanbanColumn;
    friend class List;
    ListItem() = default;

    void unlinkRelationships() override;
    template <class T>
    void assign(T& field, const T& value);

    QString m_title;
    mutable std::optional<RichText> m_notes;
    mutable QByteArray m_encodedNotes; // null when absent or not yet encoded
    mutable QList<RichText::BytesApart> m_bytesApart;
    mutable bool m_encodedApart = true; // the form of m_encodedNotes
    mutable bool m_notesDecoded = true;
    QDateTime m_dateAdded;
    QDateTime m_dueDate;
    QDateTime m_doneDate;
    std::optional<bool> m_done = false;
    std::optional<bool> m_archived = false;
    std::optional<qint16> m_priority;
    std::optional<bool> m_notesExpanded;
    std::optional<double> m_timeWorked;
    KanbanColumn* m_column = nullptr;
    List* m_list = nullptr;
    QList<Tag*> m_tags;
};
