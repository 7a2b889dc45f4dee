#pragma once

#include "model/Folder.h"
#include "model/Kanban.h"
#include "model/KanbanColumn.h"
#include "model/List.h"
#include "model/ListItem.h"
#include "model/Root.h"
#include "model/Tag.h"
#include "store/ObjectContext.h"

#include <QByteArray>
#include <QJsonValue>

// An in-memory store holding everything an exchange document carries: a root, a marked folder
// with a board (columns, cards with rich notes, dates and shared tags), a list, and an unmarked
// board. Also the checks the interchange tests share.
class SampleStore
{
public:
    SampleStore();
    Q_DISABLE_COPY_MOVE(SampleStore)

    ObjectContext context;
    Root* root;
    Folder* work;
    Kanban* plan;
    Kanban* hidden;
    List* shopping;
    Tag* urgent;
    Tag* later;
    KanbanColumn* todo;
    KanbanColumn* finished;
    ListItem* first;
    ListItem* second;

    // Notes with a title line, a checklist line, a character outside the BMP, a picture and a link.
    static RichText richNotes();
    static QByteArray pngBytes();

    // Live objects of every entity, to see that a refused document added nothing.
    static qsizetype objectCount(const ObjectContext& context);

    // The first difference between two documents, allowing "objectIDURI" values to differ as
    // long as they map one to one; empty when they match.
    static QString differenceIgnoringIdentities(const QJsonValue& a, const QJsonValue& b);
};
