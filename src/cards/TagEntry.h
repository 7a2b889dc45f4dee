#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ListItem;
class Tag;

// The tag rules of a card's tag field: names are matched exactly (letter case counts) against
// the tags of the card's board; a name no tag has makes a new board tag with the first palette
// colour the board does not use yet. Names are trimmed of surrounding spaces; empty names are
// skipped.
class TagEntry final
{
public:
    TagEntry() = delete;

    // The tags of the card's board; none for a card on no board.
    static QList<Tag*> getExistingTagsWithThisKanbanOnly(const ListItem* item);
    // Sets the card's tags from the names, in order, making the tags that do not exist yet.
    static void setTagsFromNames(ListItem* item, const QStringList& names);
    // A new tag on the card's board (none for a card on no board); not yet on the card.
    static Tag* addTagIntoItemWithName(ListItem* item, const QString& name);
    // Board tags not on the card whose names start with the text, whatever its case.
    static QStringList completions(const ListItem* item, const QString& text);
    // The palette colour of the board tag with exactly this name.
    static std::optional<int> tokenColour(const ListItem* item, const QString& name);
    static QStringList namesOf(const ListItem* item);
};
