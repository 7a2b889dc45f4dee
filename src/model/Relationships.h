#pragma once

#include "StoredObject.h"

#include <QSet>

#include <algorithm>

// Keeps an ordered to-many relationship and its to-one inverse in step. This is the one place
// where both ends of such a pair change, so no caller can leave them inconsistent.
// The owner's list is what the store keeps; the member's pointer is rebuilt from it.
class Relationships
{
public:
    template <class Owner, class Member>
    struct Link
    {
        QStringView key;                // name of the to-many relationship on the owner
        QList<Member*> Owner::*members; // the ordered list on the owner
        Owner* Member::*owner;          // the inverse on each member
    };

    // Inserts (or moves) `member` into `owner` at `index` (-1 or past the end: append).
    template <class Owner, class Member>
    static void insert(const Link<Owner, Member>& link, Owner* owner, Member* member,
                       qsizetype index = -1)
    {
        if (member->*link.owner)
            remove(link, member->*link.owner, member);
        QList<Member*>& list = owner->*link.members;
        if (index < 0 || index > list.size())
            index = list.size();
        const RelationshipChange change{link.key, RelationshipChange::Kind::Insertion, {index}};
        willChange(owner, change);
        list.insert(index, member);
        member->*link.owner = owner;
        changed(owner);
        didChange(owner, change);
    }

    template <class Owner, class Member>
    static void remove(const Link<Owner, Member>& link, Owner* owner, Member* member)
    {
        QList<Member*>& list = owner->*link.members;
        const qsizetype index = list.indexOf(member);
        if (index < 0)
            return;
        const RelationshipChange change{link.key, RelationshipChange::Kind::Removal, {index}};
        willChange(owner, change);
        list.remove(index);
        member->*link.owner = nullptr;
        changed(owner);
        didChange(owner, change);
    }

    // Sets the member's to-one end: it leaves its old owner and becomes the last member of the new.
    template <class Owner, class Member>
    static void setOwner(const Link<Owner, Member>& link, Member* member, Owner* owner)
    {
        if (member->*link.owner == owner)
            return;
        if (Owner* old = member->*link.owner)
            remove(link, old, member);
        if (owner)
            insert(link, owner, member);
    }

    // Replaces the whole list. Duplicates keep their first place; members taken from another
    // owner leave it first, members left out lose their owner.
    template <class Owner, class Member>
    static void setAll(const Link<Owner, Member>& link, Owner* owner, const QList<Member*>& wanted)
    {
        QList<Member*> members;
        QSet<Member*> seen;
        members.reserve(wanted.size());
        for (Member* m : wanted) {
            if (m && !seen.contains(m)) {
                seen.insert(m);
                members.append(m);
            }
        }
        QList<Member*>& list = owner->*link.members;
        // Element by element: comparing two empty lists byte-wise hands memcmp null pointers.
        if (std::ranges::equal(list, members))
            return;
        for (Member* m : members) {
            Owner* old = m->*link.owner;
            if (old && old != owner)
                remove(link, old, m);
        }
        const RelationshipChange change{link.key, RelationshipChange::Kind::Setting, {}};
        willChange(owner, change);
        for (Member* m : std::as_const(list)) {
            if (!seen.contains(m))
                m->*link.owner = nullptr;
        }
        list = std::move(members);
        for (Member* m : std::as_const(list))
            m->*link.owner = owner;
        changed(owner);
        didChange(owner, change);
    }

private:
    // Through the base, so that overrides in subclasses need not befriend this class.
    static void willChange(StoredObject* o, const RelationshipChange& c)
    {
        o->relationshipWillChange(c);
    }
    static void didChange(StoredObject* o, const RelationshipChange& c)
    {
        o->relationshipDidChange(c);
    }
    static void changed(StoredObject* o) { o->markChanged(); }
};
