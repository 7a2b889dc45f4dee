#pragma once

#include <QAbstractItemModel>
#include <QJsonArray>
#include <QList>

#include <memory>
#include <vector>

class DisplayItem;

// The rows of the import and export sheet: the folders, boards and lists of the stored tree
// (export) or of a document's entries (import), each with a check box. What the check boxes
// show is exactly what is exported or imported:
// - A board, or a list at the top level, is on or off.
// - A folder is on when everything in it is on, off when everything is off, and mixed
//   otherwise, at any depth. A folder with nothing to choose in it (empty, or holding only
//   lists) keeps a state of its own. Checking a folder checks everything below it.
// - A list inside a folder goes with its folder, since the export writer writes it whenever
//   it writes the folder: its box shows the folder's choice and cannot be changed alone.
// Export mode keeps the stored export flags in step with the rows (a mixed folder is flagged
// too, so that the writer writes it, with only its checked contents); import mode keeps the
// entries' "export" members.
class ImportExportOutlineModel final : public QAbstractItemModel
{
    Q_OBJECT

public:
    static constexpr auto noTitleText = QLatin1StringView("ERROR: NO TITLE FOUND");

    explicit ImportExportOutlineModel(QObject* parent = nullptr);
    ~ImportExportOutlineModel() override;

    bool isImportMode() const { return m_importMode; }
    // Export mode: rows for the stored nodes (the root's children) and everything below them.
    // Their export flags give the states; the flags are brought in line with what the rows
    // show at once (see exportFlagsChanged()).
    void setItems(const QList<DisplayItem*>& items);
    // Import mode: rows for the document's entries; their "export" members give the states.
    void setEntries(const QJsonArray& entries);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A check box was clicked: the change is asked for through checkRequested(), and applied
    // by whoever owns the rows (the sheet).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    Qt::CheckState checkState(const QModelIndex& index) const;
    bool isCheckable(const QModelIndex& index) const;
    DisplayItem* itemAt(const QModelIndex& index) const; // export mode
    QList<QModelIndex> allIndexes() const;               // depth first

    // Gives the row the state, and everything below a folder's row the same.
    void setChecked(const QModelIndex& index, bool checked);
    void setAllChecked(bool checked);

    // Rows whose box the user can change, on and not on (off or mixed).
    int checkedRowCount() const;
    int uncheckedRowCount() const;
    // Whether anything would be exported or imported; whether everything would.
    bool hasChosenRows() const;
    bool isEverythingChosen() const;

    // Export mode: whether the last change of states changed stored flags.
    bool exportFlagsChanged() const { return m_exportFlagsChanged; }

    // Import mode: the document with every row's "export" member as the row shows it, and the
    // entries the import takes: only chosen rows, at any depth.
    QJsonArray entries() const;
    QJsonArray chosenEntries() const;

Q_SIGNALS:
    void checkRequested(const QModelIndex& index, bool checked);

private:
    struct Node;
    using Nodes = std::vector<std::unique_ptr<Node>>;

    Node* nodeAt(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    // Every row's state from the rows below it; tells the views of the rows that changed.
    void updateStates(bool notify = true);
    void writeExportFlags();
    QJsonArray rebuild(const QJsonArray& entries, const Nodes& nodes, bool onlyChosen) const;

    bool m_importMode = false;
    bool m_exportFlagsChanged = false;
    QJsonArray m_entries;
    Nodes m_nodes;
};
