#pragma once

#include "StoredObject.h"

class DisplayItem;

// One announcement about a key of a sidebar node, made before (prior) and after a change.
struct KeyChange
{
    QStringView key; // "childrenArray", "isLeaf" or "children"
    RelationshipChange::Kind kind = RelationshipChange::Kind::Setting;
    QList<qsizetype> indexes;
    bool prior = false;
};

// Observes the children of sidebar nodes. For every change of `children` an observer hears,
// before the change and again after it, "childrenArray", "isLeaf" and then "children".
class DisplayItemObserver
{
public:
    virtual ~DisplayItemObserver() = default;
    virtual void displayItemChanged(DisplayItem* item, const KeyChange& change) = 0;
};
