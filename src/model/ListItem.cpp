#include "ListItem.h"

#include "Clock.h"
#include "DueSoonDefinition.h"
#include "KanbanColumn.h"
#include "List.h"
#include "Tag.h"
#include "store/Defaults.h"
#include "store/ObjectContext.h"

#include <QSet>

template <class T>
void ListItem::assign(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    markChanged();
}

void ListItem::setTitle(const QString& title)
{
    if (m_title == title && m_title.isNull() == title.isNull())
        return;
    m_title = title;
    markChanged();
}

const std::optional<RichText>& ListItem::attributedNotes() const
{
    if (!m_notesDecoded) {
        m_notesDecoded = true;
        ObjectContext* owner = context();
        m_notes = RichText::decode(m_encodedNotes, [owner](const QByteArray& digest) {
            return owner ? owner->attachmentBytes(digest) : std::nullopt;
        });
        if (!m_notes)
            qWarning("ListItem: stored notes of card %lld cannot be read; they are kept as stored",
                     objectNumber());
    }
    return m_notes;
}

void ListItem::setAttributedNotes(const std::optional<RichText>& notes)
{
    if (attributedNotes() == notes)
        return;
    m_notes = notes;
    m_encodedNotes.clear();
    m_bytesApart.clear();
    markChanged();
}

QString ListItem::notesPlainText() const
{
    const auto& notes = attributedNotes();
    return notes ? notes->text() : QString();
}

QByteArray ListItem::encodedNotes(bool bytesApart) const
{
    // Notes as loaded are in the form of the store that loaded them.
    const bool asLoaded = !m_notesDecoded;
    if (asLoaded || !m_notes)
        return m_encodedNotes;
    if (m_encodedNotes.isNull() || m_encodedApart != bytesApart) {
        m_encodedApart = bytesApart;
        m_bytesApart.clear();
        m_encodedNotes = bytesApart ? m_notes->encodeApart(&m_bytesApart) : m_notes->encode();
    }
    return m_encodedNotes;
}

QList<RichText::BytesApart> ListItem::notesBytesApart() const
{
    if (m_notesDecoded && m_notes && (m_encodedNotes.isNull() || !m_encodedApart))
        encodedNotes(true);
    return m_bytesApart;
}

void ListItem::setEncodedNotes(const QByteArray& encoded, const QList<QByteArray>& digests)
{
    m_encodedNotes = encoded;
    m_encodedApart = true;
    m_bytesApart.clear();
    for (const QByteArray& digest : digests)
        m_bytesApart.append({digest, QByteArray()});
    m_notes.reset();
    m_notesDecoded = encoded.isNull();
}

void ListItem::setDateAdded(const QDateTime& date)
{
    assign(m_dateAdded, date);
}

void ListItem::setDueDate(const QDateTime& date)
{
    assign(m_dueDate, date);
}

void ListItem::setDoneDate(const QDateTime& date)
{
    assign(m_doneDate, date);
}

void ListItem::setDone(std::optional<bool> done)
{
    assign(m_done, done);
}

void ListItem::setArchived(std::optional<bool> archived)
{
    assign(m_archived, archived);
}

void ListItem::setPriority(std::optional<qint16> priority)
{
    assign(m_priority, priority);
}

void ListItem::setNotesExpanded(std::optional<bool> expanded)
{
    assign(m_notesExpanded, expanded);
}

void ListItem::setTimeWorked(std::optional<double> time)
{
    assign(m_timeWorked, time);
}

void ListItem::setColumn(KanbanColumn* column)
{
    Relationships::setOwner(KanbanColumn::itemLink, this, column);
}

void ListItem::setList(List* list)
{
    Relationships::setOwner(List::itemLink, this, list);
}

void ListItem::setTags(const QList<Tag*>& tags)
{
    QList<Tag*> unique;
    for (Tag* tag : tags) {
        if (tag && !unique.contains(tag))
            unique.append(tag);
    }
    if (unique == m_tags)
        return;
    for (Tag* tag : std::as_const(m_tags))
        tag->m_items.remove(this);
    m_tags = std::move(unique);
    for (Tag* tag : std::as_const(m_tags))
        tag->m_items.insert(this);
    markChanged();
}

void ListItem::unlinkRelationships()
{
    setColumn(nullptr);
    setList(nullptr);
    setTags({});
}

bool ListItem::isOverdue() const
{
    return m_dueDate.isValid() && Clock::now() > m_dueDate;
}

bool ListItem::isDueSoon() const
{
    return m_dueDate.isValid() &&
           ::isDueSoon(m_dueDate, Defaults::standard().integer(Defaults::dueSoonDefinition));
}
