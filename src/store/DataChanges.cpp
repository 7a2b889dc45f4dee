#include "DataChanges.h"

#include "ObjectContext.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"

#include <QDebug>

#include <algorithm>

DataChanges::DataChanges(ObjectContext& context)
    : m_context(&context)
{}

void DataChanges::add(Step apply, Step revert, const QString& description)
{
    m_changes.append({std::move(apply), std::move(revert), description});
}

void DataChanges::changeNotes(ListItem* card, const std::optional<RichText>& notes)
{
    const std::optional<RichText> old = card->attributedNotes();
    const auto set = [card](const std::optional<RichText>& value) {
        if (ListItem* live = ObjectContext::live(card))
            live->setAttributedNotes(value);
    };
    add([set, notes](DataChanges&) { set(notes); }, [set, old](DataChanges&) { set(old); });
}

void DataChanges::changeDone(ListItem* card, std::optional<bool> done)
{
    const std::optional<bool> old = card->done();
    const auto set = [card](std::optional<bool> value) {
        if (ListItem* live = ObjectContext::live(card))
            live->setDone(value);
    };
    add([set, done](DataChanges&) { set(done); }, [set, old](DataChanges&) { set(old); });
}

void DataChanges::changeColour(Tag* tag, qint16 colour)
{
    const qint16 old = tag->colour();
    const auto set = [tag](qint16 value) {
        if (Tag* live = ObjectContext::live(tag))
            live->setColour(value);
    };
    add([set, colour](DataChanges&) { set(colour); }, [set, old](DataChanges&) { set(old); });
}

namespace {

// Puts a card back where it was, at its old position.
void returnCard(ListItem* card, KanbanColumn* column, qsizetype index)
{
    ListItem* live = ObjectContext::live(card);
    KanbanColumn* owner = ObjectContext::live(column);
    if (!live)
        return;
    if (owner)
        owner->insertItem(live, std::min(index, owner->item().size()));
    else
        live->setColumn(nullptr);
}

} // namespace

void DataChanges::moveCard(ListItem* card, KanbanColumn* column, const QString& description)
{
    KanbanColumn* old = card->column();
    const qsizetype index = old ? old->item().indexOf(card) : -1;
    add(
        [card, column](DataChanges&) {
            ListItem* live = ObjectContext::live(card);
            if (KanbanColumn* target = ObjectContext::live(column); live && target)
                live->setColumn(target);
        },
        [card, old, index](DataChanges&) { returnCard(card, old, index); }, description);
}

void DataChanges::recoverCard(ListItem* card, const QString& description)
{
    KanbanColumn* old = card->column();
    const qsizetype index = old ? old->item().indexOf(card) : -1;
    add(
        [card](DataChanges& self) {
            if (ListItem* live = ObjectContext::live(card))
                live->setColumn(self.recoveredColumn());
        },
        [card, old, index](DataChanges&) { returnCard(card, old, index); }, description);
}

void DataChanges::recoverColumn(KanbanColumn* column, const QString& description)
{
    Kanban* old = column->kanban();
    const auto setBoard = [column](Kanban* board) {
        if (KanbanColumn* live = ObjectContext::live(column))
            live->setKanban(board);
    };
    add([setBoard](DataChanges& self) { setBoard(self.recoveredBoard()); },
        [setBoard, old](DataChanges&) { setBoard(ObjectContext::live(old)); }, description);
}

void DataChanges::attachNode(DisplayItem* node, DisplayItem* parent, const QString& description)
{
    DisplayItem* old = node->parent();
    const qsizetype index = old ? old->children().indexOf(node) : -1;
    add(
        [node, parent](DataChanges&) {
            DisplayItem* live = ObjectContext::live(node);
            if (DisplayItem* target = ObjectContext::live(parent); live && target)
                live->setParent(target);
        },
        [node, old, index](DataChanges&) {
            DisplayItem* live = ObjectContext::live(node);
            DisplayItem* owner = ObjectContext::live(old);
            if (live && owner)
                owner->insertChild(live, std::min(index, owner->children().size()));
            else if (live)
                live->setParent(nullptr);
        },
        description);
}

void DataChanges::attachTag(Tag* tag, Kanban* board, const QString& description)
{
    Kanban* old = tag->kanban();
    const auto setBoard = [tag](Kanban* value) {
        if (Tag* live = ObjectContext::live(tag))
            live->setKanban(value);
    };
    add([setBoard, board](DataChanges&) { setBoard(ObjectContext::live(board)); },
        [setBoard, old](DataChanges&) { setBoard(ObjectContext::live(old)); }, description);
}

void DataChanges::deleteEmpty(StoredObject* object, const QString& description)
{
    add(
        [object](DataChanges& self) {
            const bool holdsChildren = object->isKindOf(Entity::DisplayItem) &&
                                       !static_cast<DisplayItem*>(object)->children().isEmpty();
            if (!object->isDeleted() && !holdsChildren)
                self.m_context->deleteObject(object);
        },
        [](DataChanges&) {}, description);
}

QStringList DataChanges::descriptions() const
{
    QStringList lines;
    for (const Change& change : m_changes) {
        if (!change.description.isEmpty())
            lines.append(change.description);
    }
    return lines;
}

void DataChanges::apply()
{
    for (const QString& line : std::as_const(m_log))
        qInfo().noquote() << line;
    m_log.clear(); // written once, not again at each redo
    for (const Change& change : std::as_const(m_changes))
        change.apply(*this);
}

void DataChanges::revert()
{
    for (auto it = m_changes.crbegin(); it != m_changes.crend(); ++it)
        it->revert(*this);
    dropRecoveredBoardIfUnused();
}

Kanban* DataChanges::recoveredBoard()
{
    const QList<Root*> roots = m_context->fetch<Root>({}, 1);
    if (roots.isEmpty())
        return nullptr;
    Root* root = roots.first();
    const QString title = QString::fromLatin1(recoveredBoardTitle);
    for (DisplayItem* child : root->children()) {
        if (child->entity() == Entity::Kanban && child->title() == title)
            return static_cast<Kanban*>(child);
    }
    auto* board = m_context->insert<Kanban>();
    board->setTitle(title);
    root->insertChild(board);
    m_madeBoard = board;
    return board;
}

KanbanColumn* DataChanges::recoveredColumn()
{
    Kanban* board = recoveredBoard();
    if (!board)
        return nullptr;
    const QString title = QString::fromLatin1(recoveredColumnTitle);
    for (KanbanColumn* column : board->column()) {
        if (column->title() == title)
            return column;
    }
    auto* column = m_context->insert<KanbanColumn>();
    column->setTitle(title);
    column->setKanban(board);
    return column;
}

void DataChanges::dropRecoveredBoardIfUnused()
{
    Kanban* board = ObjectContext::live(m_madeBoard);
    m_madeBoard = nullptr;
    if (!board)
        return;
    const bool empty = std::all_of(board->column().cbegin(), board->column().cend(),
                                   [](const KanbanColumn* c) { return c->item().isEmpty(); });
    if (empty)
        m_context->deleteObject(board);
}
