#pragma once

#include "model/RichText.h"
#include "model/Root.h"
#include "store/ObjectContext.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Fills a context with a store of the size that stresses import and export: boards with
// thousands of cards carrying notes, tags, dates, links and a few small pictures (about 20 MB
// as an exchange document). The same seed always gives the same store.
class BenchmarkDocument
{
public:
    // One row as a store would write it, for the raw SQLite baseline.
    struct Row
    {
        int entity;
        QByteArray title;
        QByteArray notes;
        double dates[3];
    };

    explicit BenchmarkDocument(ObjectContext& context);

    Root* root() const { return m_root; }
    // Every object of the store as a row.
    std::vector<Row> rows() const;

private:
    void addBoard(int index);
    RichText notesFor(int card) const;

    ObjectContext& m_context;
    Root* m_root;
    std::vector<QByteArray> m_pictures;
};
