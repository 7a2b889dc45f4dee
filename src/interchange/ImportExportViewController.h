#pragma once

#include <QDialog>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class AppDelegate;
class DisplayItem;
class ExchangeDocument;
class Folder;
class ImportExportOutlineModel;
class QDialogButtonBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QTreeView;

// The sheet that picks the folders and boards an export writes or an import reads: an outline
// with a check box on every row, "Select All"/"Select None", a description and the main
// button. Export mode shows the stored tree and its check boxes set the stored export flags,
// which are saved at once and kept (the writer relies on them). Import mode shows the entries
// of a document and changes only that document in memory. The rules that tie the check boxes
// together are ImportExportOutlineModel's.
//
// The main window opens it with
//     const QString path = ImportExportViewController::chooseImportFile(this);
//     if (!path.isEmpty())
//         ImportExportViewController::openImportSheet(this, path);
// and
//     ImportExportViewController::openExportSheet(this);
class ImportExportViewController final : public QDialog
{
    Q_OBJECT

public:
    // Picks the file to write; an empty result cancels.
    using FileChooser = std::function<QString()>;

    static constexpr auto importFileFilter =
        QLatin1StringView("Pinwheels documents (*.Pinwheels *.Corkline)");
    static constexpr auto exportFileFilter = QLatin1StringView("Pinwheels documents (*.Pinwheels)");
    static constexpr auto exportFileSuffix = QLatin1StringView("Pinwheels");
    // Documents at least this large are read on a worker thread behind a progress dialog.
    static constexpr qint64 backgroundReadingSize = 1024 * 1024;

    // Export mode, over the stored tree of appDelegate (the shared one when null).
    explicit ImportExportViewController(QWidget* parent = nullptr,
                                        AppDelegate* appDelegate = nullptr);
    ~ImportExportViewController() override;

    // Import mode: reads, parses and checks the document at path before anything is shown.
    // Null when it cannot be read or the reader refuses it, with `error` saying why; null with
    // `error` empty when the user cancelled the reading of a large document.
    static ImportExportViewController* createForImport(const QString& path, QWidget* parent,
                                                       QString* error,
                                                       AppDelegate* appDelegate = nullptr);

    // The open panel of the Import command; an empty result when the user cancels.
    static QString chooseImportFile(QWidget* window);
    // The save panel of the export: a ".Pinwheels" file; an empty result when cancelled.
    static QString chooseExportFile(QWidget* parent);
    // Opens the sheet window-modal on window (it deletes itself when closed). An import whose
    // document is refused shows one message with the reason instead, and returns null.
    static ImportExportViewController* openImportSheet(QWidget* window, const QString& path);
    static ImportExportViewController* openExportSheet(QWidget* window);

    bool isImportMode() const { return m_urlOfDocumentToImport.has_value(); }
    std::optional<QUrl> urlOfDocumentToImport() const { return m_urlOfDocumentToImport; }
    // Export mode: the top-level rows (the root's children).
    const QList<DisplayItem*>& items() const { return m_items; }
    void setItems(const QList<DisplayItem*>& items);
    // Import mode: the document's entries, with "export" members as the rows show them.
    QJsonArray foldersToImport() const;
    void setFoldersToImport(const QJsonArray& entries);

    // Sets "export" to true in every folder, board and list entry at any depth.
    static QJsonArray addImportAttributeToObjectsToImport(const QJsonArray& entries);

    // Fills the rows: the root's children, or the document's entries all checked.
    void loadKanbans();
    // Applies a row's new check state (and saves the export flags in export mode).
    void justCheckedItemWithItem(const QModelIndex& index, bool checked);
    // "Select None" when every row is on, otherwise "Select All".
    void setLableForSelectAllButton();
    void selectAllButtonTapped();
    // Imports the chosen entries, or asks for the file and exports the checked items.
    void mainButtonTapped();
    void importProjects();
    void exportProjects();

    // Replaces the save panel (tests); null restores it.
    void setSaveFileChooser(FileChooser chooser) { m_saveFileChooser = std::move(chooser); }
    // True while an import runs: the sheet then takes no input and cannot be cancelled.
    bool isBusy() const { return m_busy; }

    ImportExportOutlineModel* outlineModel() const { return m_model; }
    QTreeView* outlineView() const { return m_outlineView; }
    QPushButton* selectAllButton() const { return m_selectAllButton; }
    QPushButton* mainButton() const { return m_mainButton; }
    QLabel* descriptionTextField() const { return m_descriptionTextField; }

public Q_SLOTS:
    void reject() override;

Q_SIGNALS:
    // After an import has been built and saved, just before the sheet closes.
    void itemsImported(Folder* folder);

private:
    struct LoadedDocument;
    ImportExportViewController(QWidget* parent, AppDelegate* appDelegate, const QString& path,
                               const LoadedDocument& document);
    static LoadedDocument readDocument(const QString& path);
    static void present(ImportExportViewController* sheet);

    void setUpViews();
    void finishImport(const std::shared_ptr<const ExchangeDocument>& document, bool everything,
                      const QString& error);
    void failImport(const QString& error);
    void setBusy(bool busy);

    AppDelegate* m_appDelegate;
    std::optional<QUrl> m_urlOfDocumentToImport;
    QList<DisplayItem*> m_items;
    QJsonArray m_documentEntries;                       // import mode, as read
    std::shared_ptr<const ExchangeDocument> m_document; // the same, parsed and checked
    ImportExportOutlineModel* m_model = nullptr;
    QTreeView* m_outlineView = nullptr;
    QPushButton* m_selectAllButton = nullptr;
    QPushButton* m_mainButton = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QLabel* m_descriptionTextField = nullptr;
    QProgressDialog* m_progress = nullptr;
    FileChooser m_saveFileChooser;
    bool m_busy = false;
};
