#include "DataUpgrades.h"

#include "ObjectContext.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/NoteStyle.h"
#include "model/Tag.h"

namespace {

// Sets every attribute the added set has, keeping the others.
void addAttributes(RichText::Attributes& target, const RichText::Attributes& added)
{
    if (added.styleName)
        target.styleName = added.styleName;
    if (added.checklistChecked)
        target.checklistChecked = added.checklistChecked;
    if (added.strikethrough != 0)
        target.strikethrough = added.strikethrough;
    if (added.attachment)
        target.attachment = added.attachment;
}

RichText restyledToCurrentStyles(RichText notes)
{
    for (const RichText::Run& run : QList<RichText::Run>(notes.runs())) {
        const std::optional<NoteStyle::Kind> kind =
            run.attributes.styleName ? NoteStyle::kindNamed(*run.attributes.styleName)
                                     : std::nullopt;
        if (kind)
            notes.changeAttributes(run.location, run.length, [kind](RichText::Attributes& a) {
                addAttributes(a, NoteStyle::attributes(*kind));
            });
    }
    for (const RichText::Run& run : QList<RichText::Run>(notes.runs())) {
        const std::optional<bool> checked = run.attributes.checklistChecked;
        if (checked)
            notes.changeAttributes(run.location, run.length, [checked](RichText::Attributes& a) {
                addAttributes(a, NoteStyle::attributes(NoteStyle::Checklist));
                a.checklistChecked = checked;
            });
    }
    return notes;
}

} // namespace

DataChanges DataUpgrades::updateNotesTextStyle(ObjectContext& context)
{
    DataChanges changes(context);
    for (ListItem* card : context.fetch<ListItem>()) {
        const std::optional<RichText>& notes = card->attributedNotes();
        if (!notes)
            continue;
        RichText restyled = restyledToCurrentStyles(*notes);
        if (restyled != *notes)
            changes.changeNotes(card, restyled);
    }
    return changes;
}

DataChanges DataUpgrades::applyStrikeThroughForArchivedItems(ObjectContext& context)
{
    DataChanges changes(context);
    for (ListItem* card : context.fetch<ListItem>()) {
        const std::optional<RichText>& notes = card->attributedNotes();
        if (!notes || !card->isDone())
            continue;
        RichText struck = *notes;
        struck.changeAttributes(0, struck.length(),
                                [](RichText::Attributes& a) { a.strikethrough = 1; });
        if (struck != *notes)
            changes.changeNotes(card, struck);
    }
    return changes;
}

DataChanges DataUpgrades::markArchivedItemsAsDone(ObjectContext& context)
{
    DataChanges changes(context);
    for (ListItem* card : context.fetch<ListItem>()) {
        if (card->isArchived() && card->done() != true)
            changes.changeDone(card, true);
    }
    return changes;
}

DataChanges DataUpgrades::assignColoursToTags(ObjectContext& context)
{
    DataChanges changes(context);
    for (Kanban* board : context.fetch<Kanban>()) {
        const QList<Tag*>& tags = board->tags();
        for (qsizetype i = 0; i < tags.size(); ++i) {
            changes.log(QStringLiteral("assign tag %1 colour %2").arg(tags[i]->name()).arg(i));
            if (tags[i]->colour() != i)
                changes.changeColour(tags[i], qint16(i));
        }
    }
    return changes;
}

DataChanges DataUpgrades::mergeTitleAndNotes(ObjectContext& context)
{
    DataChanges changes(context);
    const RichText::Attributes title = NoteStyle::attributes(NoteStyle::Title);
    for (ListItem* card : context.fetch<ListItem>()) {
        if (card->title().isNull())
            continue;
        const std::optional<RichText>& notes = card->attributedNotes();
        if (!notes) {
            changes.changeNotes(card, RichText(card->title(), title));
            continue;
        }
        RichText merged(card->title() + u'\n', title);
        merged.append(*notes);
        changes.changeNotes(card, merged);
    }
    return changes;
}

DataChanges DataUpgrades::attachOrphanedListItems(ObjectContext& context, Orphans orphans)
{
    DataChanges changes(context);
    attachOrphanedListItems(context, orphans, changes);
    return changes;
}

void DataUpgrades::attachOrphanedListItems(ObjectContext& context, Orphans orphans,
                                           DataChanges& changes)
{
    const QList<ListItem*> cards = context.fetch<ListItem>([orphans](const ListItem& card) {
        return !card.column() && (orphans == Orphans::WithoutColumn || !card.list());
    });
    qsizetype fixed = 0;
    qsizetype stillOrphaned = 0;
    for (ListItem* card : cards) {
        changes.log(QStringLiteral("item name ") + card->title());
        const Tag* tag = card->tags().value(0);
        changes.log(tag ? QStringLiteral("tag is ") + tag->name() : QStringLiteral("no tag"));
        const Kanban* board = tag ? tag->kanban() : nullptr;
        if (board && !board->column().isEmpty()) {
            KanbanColumn* column = board->column().first();
            changes.moveCard(card, column,
                             QStringLiteral("Card p%1 \"%2\" was put at the end of column \"%3\" "
                                            "of board \"%4\", the board of its tag \"%5\".")
                                 .arg(card->objectNumber())
                                 .arg(card->title(), column->title(), board->title(), tag->name()));
            ++fixed;
            continue;
        }
        ++stillOrphaned;
        if (!card->list())
            changes.recoverCard(
                card, QStringLiteral("Card p%1 \"%2\" belonged nowhere; it was put in "
                                     "column \"%3\" of board \"%4\".")
                          .arg(card->objectNumber())
                          .arg(card->title(), QLatin1String(DataChanges::recoveredColumnTitle),
                               QLatin1String(DataChanges::recoveredBoardTitle)));
    }
    changes.log(
        QStringLiteral("finished fixed %1 still orphaned %2").arg(fixed).arg(stillOrphaned));
}
