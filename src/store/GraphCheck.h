#pragma once

#include <QString>
#include <QStringList>

class ObjectContext;
class StoredObject;

// Checks an object graph for what the model promises and a damaged store may break: exactly
// one Root; every object reachable from it; no cycle in the sidebar tree; both ends of every
// relationship in step; no object with two owners. Each problem is one readable line.
class GraphCheck final
{
public:
    // Empty when the graph is sound. `storeAnomalies` (what loading skipped) are appended.
    static QStringList check(const ObjectContext& context, const QStringList& storeAnomalies = {});

    // "Kanban p12", as every line names an object.
    static QString describe(const StoredObject* object);
};
