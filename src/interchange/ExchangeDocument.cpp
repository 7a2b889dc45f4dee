#include "ExchangeDocument.h"

#include "ExchangeValidator.h"
#include "model/EntityDescription.h"

#include <QSet>

std::optional<ExchangeDocument> ExchangeDocument::parse(QByteArrayView json, QString* error,
                                                        const Options& options)
{
    return ExchangeValidator::validateDocument(json, options, error);
}

std::optional<RichText> ExchangeDocument::parseRichText(QByteArrayView json, QString* error)
{
    return ExchangeValidator::validateRichText(json, error);
}

ExchangeDocument ExchangeDocument::selectingEntries(const QList<qsizetype>& entryIndexes) const
{
    const QSet<qsizetype> chosen(entryIndexes.cbegin(), entryIndexes.cend());
    // Mark what the chosen entries reach, without recursion: nesting may be deep.
    std::vector<bool> reached(m_nodes.size(), false);
    std::vector<qsizetype> pending;
    for (const TopLevelObject& top : m_topLevel) {
        if (chosen.contains(top.entryIndex))
            pending.push_back(top.node);
    }
    while (!pending.empty()) {
        const qsizetype node = pending.back();
        pending.pop_back();
        if (reached[size_t(node)])
            continue;
        reached[size_t(node)] = true;
        for (const auto& relationship : m_nodes[size_t(node)].relationships)
            pending.insert(pending.end(), relationship.second.cbegin(), relationship.second.cend());
    }
    // Keep the nodes in their order, so objects are still built as the document lists them.
    ExchangeDocument selection;
    std::vector<qsizetype> renumbered(m_nodes.size(), -1);
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        if (!reached[i])
            continue;
        renumbered[i] = qsizetype(selection.m_nodes.size());
        selection.m_nodes.push_back(m_nodes[i]);
        if (!m_nodes[i].existing)
            ++selection.m_newObjectCount;
    }
    for (Node& node : selection.m_nodes) {
        for (auto& relationship : node.relationships) {
            for (qsizetype& member : relationship.second)
                member = renumbered[size_t(member)];
        }
    }
    for (const TopLevelObject& top : m_topLevel) {
        if (chosen.contains(top.entryIndex))
            selection.m_topLevel.push_back({renumbered[size_t(top.node)], top.entryIndex});
    }
    return selection;
}

QVariant ExchangeDocument::attributeValue(qsizetype node, QStringView name) const
{
    if (node < 0 || size_t(node) >= m_nodes.size())
        return {};
    for (const auto& [attribute, value] : m_nodes[size_t(node)].attributes) {
        if (attribute->name == name)
            return value;
    }
    return {};
}
