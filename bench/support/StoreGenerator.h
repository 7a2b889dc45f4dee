#pragma once

#include "model/RichText.h"

#include <QList>
#include <QRandomGenerator>

class Kanban;
class KanbanColumn;
class ObjectContext;
class Root;

// Builds object graphs of a realistic shape for benchmarks: a tree of folders holding boards
// of ten columns and a few lists; cards with a title line and a few lines of notes (some of
// them checklist lines), 0–3 of their board's tags, some due dates, some done or archived.
// The same options and seed always give the same graph.
class StoreGenerator final
{
public:
    struct Options
    {
        int cards = 5000; // in total, list items included
        int cardsPerBoard = 500;
        int columnsPerBoard = 10;
        int tagsPerBoard = 6;
        int largeColumnCards = 1000; // the first board's first column holds this many
        quint32 seed = 1;
    };

    struct Result
    {
        Root* root = nullptr;
        QList<Kanban*> boards;
        KanbanColumn* largeColumn = nullptr;
    };

    // Fills an empty context; saving is left to the caller.
    static Result generate(ObjectContext& context, const Options& options);

    // Notes as a card typically has them.
    static RichText notes(QRandomGenerator& random, int index);
};
