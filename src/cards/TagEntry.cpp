#include "TagEntry.h"

#include "appearance/Palette.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Tag.h"
#include "store/ObjectContext.h"

#include <QSet>

namespace {
Kanban* boardOf(const ListItem* item)
{
    return item->column() ? item->column()->kanban() : nullptr;
}
} // namespace

QList<Tag*> TagEntry::getExistingTagsWithThisKanbanOnly(const ListItem* item)
{
    const Kanban* board = boardOf(item);
    return board ? board->tags() : QList<Tag*>();
}

void TagEntry::setTagsFromNames(ListItem* item, const QStringList& names)
{
    QList<Tag*> tags;
    for (const QString& untrimmed : names) {
        const QString name = untrimmed.trimmed();
        if (name.isEmpty())
            continue;
        Tag* match = nullptr;
        for (Tag* tag : getExistingTagsWithThisKanbanOnly(item)) {
            if (tag->name() == name) {
                match = tag;
                break;
            }
        }
        // A name typed twice is one tag; a card on no board makes its tags anew.
        if (!match) {
            for (Tag* tag : std::as_const(tags)) {
                if (tag->name() == name)
                    match = tag;
            }
        }
        if (!match)
            match = addTagIntoItemWithName(item, name);
        if (match && !tags.contains(match))
            tags.append(match);
    }
    item->setTags(tags);
}

Tag* TagEntry::addTagIntoItemWithName(ListItem* item, const QString& name)
{
    ObjectContext* context = item->context();
    if (!context)
        return nullptr;
    auto* tag = context->insert<Tag>();
    tag->setName(name);
    Kanban* board = boardOf(item);
    if (!board)
        return tag;
    QSet<int> used;
    for (const Tag* existing : board->tags())
        used.insert(existing->colour());
    for (int colour = 0; colour < Palette::count; ++colour) {
        if (!used.contains(colour)) {
            tag->setColour(qint16(colour));
            break;
        }
    }
    tag->setKanban(board);
    return tag;
}

QStringList TagEntry::completions(const ListItem* item, const QString& text)
{
    QStringList names;
    const QString prefix = text.trimmed().toUpper();
    for (const Tag* tag : getExistingTagsWithThisKanbanOnly(item)) {
        if (!item->tags().contains(tag) && tag->name().toUpper().startsWith(prefix) &&
            !names.contains(tag->name()))
            names.append(tag->name());
    }
    return names;
}

std::optional<int> TagEntry::tokenColour(const ListItem* item, const QString& name)
{
    for (const Tag* tag : getExistingTagsWithThisKanbanOnly(item)) {
        if (tag->name() == name.trimmed())
            return tag->colour();
    }
    return std::nullopt;
}

QStringList TagEntry::namesOf(const ListItem* item)
{
    QStringList names;
    for (const Tag* tag : item->tags())
        names.append(tag->name());
    return names;
}
