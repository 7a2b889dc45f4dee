#include "FirstRun.h"

#include "JSONReader.h"
#include "model/Kanban.h"
#include "model/Root.h"
#include "store/ObjectContext.h"

#include <QFile>

FirstRun::Result FirstRun::findOrCreateRoot(ObjectContext& context,
                                            const std::function<bool()>& save)
{
    if (const QList<Root*> roots = context.fetch<Root>({}, 1); !roots.isEmpty())
        return {roots.first(), false};
    Root* root = context.insert<Root>();
    save();
    importTutorial(context, root);
    save();
    return {root, true};
}

bool FirstRun::importTutorial(ObjectContext& context, Root* root)
{
    QFile file(QStringLiteral(":/introduction_tutorial.Pinwheels"));
    QString error;
    std::optional<QList<StoredObject*>> objects;
    if (file.open(QIODevice::ReadOnly)) {
        JSONReader reader(&context); // its own identity map, empty for this document
        objects = reader.makeObjectsFromJson(file.readAll(), &error);
    } else {
        error = file.errorString();
    }
    if (!objects) {
        qWarning("could not import introductory tutorial: %s", qUtf8Printable(error));
        return false;
    }
    for (StoredObject* object : std::as_const(*objects)) {
        if (object->isKindOf(Entity::Folder) || object->isKindOf(Entity::Kanban))
            static_cast<DisplayItem*>(object)->setParent(root);
    }
    return true;
}
