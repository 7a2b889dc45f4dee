// libFuzzer target for the exchange document reader. Besides crashes, hangs and leaks it checks
// the reader's promises: a refusal says why and leaves the context as it was, and whatever was
// imported exports to text that agrees with the tree form and reads again.
#include "interchange/ExchangeDocument.h"
#include "interchange/JSONReader.h"
#include "interchange/JSONWriter.h"
#include "model/Folder.h"
#include "model/Root.h"
#include "store/ObjectContext.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

qsizetype objectCount(const ObjectContext& context)
{
    return context.fetch(Entity::DisplayItem).size() + context.fetch(Entity::KanbanColumn).size() +
           context.fetch(Entity::ListItem).size();
}

[[noreturn]] void broken(const char* promise, const QString& detail = {})
{
    std::fprintf(stderr, "Broken promise: %s %s\n", promise, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Image plugins and the MIME database want an application object.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView json(reinterpret_cast<const char*>(data), qsizetype(size));
    ObjectContext context;
    context.insert<Root>();
    JSONReader reader(&context);

    QString error;
    const auto document = ExchangeDocument::parse(json, &error);
    if (!document) {
        if (error.isEmpty())
            broken("a refusal names its reason");
        return 0;
    }
    const qsizetype before = objectCount(context);
    Folder* folder = reader.importDocument(*document, &error);
    if (!folder) {
        if (error.isEmpty() || objectCount(context) != before)
            broken("a refused import says why and changes nothing", error);
        return 0;
    }

    // Export what was imported, as a file would get it, and read it again.
    for (DisplayItem* item : folder->children())
        item->setExportFlag(true);
    const QByteArray written = JSONWriter::documentJson(folder->children());
    QJsonParseError parseError;
    const QJsonDocument qtParsed = QJsonDocument::fromJson(written, &parseError);
    if (parseError.error == QJsonParseError::NoError &&
        qtParsed.array() != JSONWriter::documentFromTopLevelItems(folder->children()))
        broken("the text and tree forms of a document agree");
    ObjectContext copy;
    JSONReader copier(&copy);
    const auto again = copier.makeObjectsFromJson(written, &error);
    // Folders moved under later mentions may nest the export past the reader's depth limit.
    if (!again && !error.contains(QStringLiteral("deeper than")))
        broken("what the writer writes, the reader reads", error);
    return 0;
}
