#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class ObjectContext;
class SqliteStore;

// Shared by the store tests: a graph that uses every attribute and relationship, a generic
// comparison of two graphs, and file fingerprints.
class StoreTestSupport final
{
public:
    // Fills an empty context: folders, a list, a board with columns, cards and tags, with
    // absent, empty and present values side by side and orders that differ from creation order.
    static void buildSample(ObjectContext& context);

    // Every difference in objects, attributes and ordered relationships, by object number.
    static QStringList differences(const ObjectContext& expected, const ObjectContext& actual);

    // Opens and loads a store; null (and a failed test expectation message) on failure.
    static std::unique_ptr<ObjectContext> open(const QString& path, QString* error = nullptr);
    static SqliteStore* storeOf(const ObjectContext& context);

    static QByteArray checksum(const QString& path);
    // Runs SQL on its own connection; false with SQLite's message in `error`.
    static bool execute(const QString& path, const char* sql, QString* error = nullptr);
    static qint64 queryInteger(const QString& path, const char* sql);
};
