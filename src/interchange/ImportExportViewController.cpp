#include "ImportExportViewController.h"

#include "ExchangeDocument.h"
#include "ExportItemCell.h"
#include "ImportExportOutlineModel.h"
#include "JSONReader.h"
#include "JSONWriter.h"
#include "model/Folder.h"
#include "model/Root.h"
#include "store/AppDelegate.h"
#include "store/ObjectContext.h"
#include "widgets/MessageBox.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr auto exportKey = QLatin1StringView("export");
constexpr auto childrenKey = QLatin1StringView("children");

// A progress dialog shows only when the work takes longer than this.
constexpr int progressDelayMs = 300;

// Long parses get threads of their own: Qt draws with the global pool's threads, and a window
// waits for them while it paints.
QThreadPool* parsingPool()
{
    static QThreadPool pool;
    return &pool;
}

struct ParsedChoice
{
    std::shared_ptr<const ExchangeDocument> document;
    QString error;
};

ParsedChoice parseChoice(const QJsonArray& entries)
{
    ParsedChoice parsed;
    QString error;
    std::optional<ExchangeDocument> document =
        ExchangeDocument::parse(QJsonDocument(entries).toJson(QJsonDocument::Compact), &error);
    if (document)
        parsed.document = std::make_shared<const ExchangeDocument>(std::move(*document));
    else
        parsed.error = error;
    return parsed;
}

void flagSubtree(DisplayItem* item)
{
    item->setExportFlag(true);
    for (DisplayItem* child : item->children())
        flagSubtree(child);
}

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

struct ImportExportViewController::LoadedDocument
{
    QJsonArray entries;
    std::shared_ptr<const ExchangeDocument> document;
    QString error;
};

ImportExportViewController::ImportExportViewController(QWidget* parent, AppDelegate* appDelegate)
    : QDialog(parent)
    , m_appDelegate(appDelegate ? appDelegate : AppDelegate::shared())
{
    setUpViews();
    loadKanbans();
}

ImportExportViewController::ImportExportViewController(QWidget* parent, AppDelegate* appDelegate,
                                                       const QString& path,
                                                       const LoadedDocument& document)
    : QDialog(parent)
    , m_appDelegate(appDelegate ? appDelegate : AppDelegate::shared())
    , m_urlOfDocumentToImport(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))
    , m_documentEntries(document.entries)
    , m_document(document.document)
{
    setUpViews();
    loadKanbans();
}

ImportExportViewController::~ImportExportViewController() = default;

ImportExportViewController* ImportExportViewController::createForImport(const QString& path,
                                                                        QWidget* parent,
                                                                        QString* error,
                                                                        AppDelegate* appDelegate)
{
    LoadedDocument loaded;
    if (QFileInfo(path).size() < backgroundReadingSize) {
        loaded = readDocument(path);
    } else {
        // Parsing and checking touch no store, so they run on a worker while the window
        // stays responsive behind a progress dialog.
        QProgressDialog progress(tr("Reading “%1”…").arg(QFileInfo(path).fileName()), tr("Cancel"),
                                 0, 0, parent);
        progress.setWindowTitle(tr("Import"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QFutureWatcher<LoadedDocument> watcher;
        QEventLoop loop;
        connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        watcher.setFuture(
            QtConcurrent::run(parsingPool(), &ImportExportViewController::readDocument, path));
        progress.show();
        loop.exec();
        if (progress.wasCanceled() || !watcher.isFinished()) {
            if (error)
                error->clear();
            return nullptr;
        }
        loaded = watcher.result();
    }
    if (!loaded.error.isEmpty()) {
        if (error)
            *error = loaded.error;
        return nullptr;
    }
    return new ImportExportViewController(parent, appDelegate, path, loaded);
}

ImportExportViewController::LoadedDocument
ImportExportViewController::readDocument(const QString& path)
{
    LoadedDocument loaded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.error = tr("The file could not be read: %1").arg(file.errorString());
        return loaded;
    }
    const QByteArray json = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        loaded.error = tr("The file could not be read: %1").arg(file.errorString());
        return loaded;
    }
    // The rows come from a JSON tree, the import from the reader's checked document: a large
    // file is parsed both ways at once.
    const auto parseTree = [json] {
        QJsonParseError parseError;
        QJsonDocument tree = QJsonDocument::fromJson(json, &parseError);
        return std::pair(tree, parseError);
    };
    QFuture<std::pair<QJsonDocument, QJsonParseError>> tree;
    if (json.size() >= backgroundReadingSize)
        tree = QtConcurrent::run(parsingPool(), parseTree);
    // The reader's own checks, so that what the sheet offers can be imported.
    QString reason;
    std::optional<ExchangeDocument> document = ExchangeDocument::parse(json, &reason);
    if (!document || !JSONReader::canImportAtTopLevel(*document, &reason)) {
        loaded.error = reason;
        return loaded;
    }
    const auto [entries, parseError] = tree.isValid() ? tree.result() : parseTree();
    if (!entries.isArray()) {
        loaded.error = parseError.errorString();
        return loaded;
    }
    loaded.entries = entries.array();
    loaded.document = std::make_shared<const ExchangeDocument>(std::move(*document));
    return loaded;
}

QString ImportExportViewController::chooseImportFile(QWidget* window)
{
    return QFileDialog::getOpenFileName(window, tr("Please select a Pinwheel file to import"),
                                        documentsFolder(), importFileFilter);
}

QString ImportExportViewController::chooseExportFile(QWidget* parent)
{
    QFileDialog dialog(
        parent, tr("Export"),
        QDir(documentsFolder()).filePath(tr("Export") + QLatin1Char('.') + exportFileSuffix),
        exportFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(exportFileSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

ImportExportViewController* ImportExportViewController::openImportSheet(QWidget* window,
                                                                        const QString& path)
{
    QString error;
    ImportExportViewController* sheet = createForImport(path, window, &error);
    if (!sheet) {
        if (!error.isEmpty())
            MessageBox::critical(
                window, tr("“%1” could not be imported.").arg(QFileInfo(path).fileName()), error);
        return nullptr;
    }
    present(sheet);
    return sheet;
}

ImportExportViewController* ImportExportViewController::openExportSheet(QWidget* window)
{
    auto* sheet = new ImportExportViewController(window);
    present(sheet);
    return sheet;
}

void ImportExportViewController::present(ImportExportViewController* sheet)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

void ImportExportViewController::setUpViews()
{
    const bool importing = isImportMode();
    setWindowTitle(importing ? tr("Import") : tr("Export"));

    m_descriptionTextField = new QLabel(
        importing ? tr("Import all items?") : tr("Choose the folders and boards to export."), this);
    m_descriptionTextField->setWordWrap(true);

    m_model = new ImportExportOutlineModel(this);
    connect(m_model, &ImportExportOutlineModel::checkRequested, this,
            &ImportExportViewController::justCheckedItemWithItem);
    m_outlineView = new QTreeView(this);
    m_outlineView->setModel(m_model);
    m_outlineView->setItemDelegate(new ExportItemCell(m_outlineView));
    m_outlineView->setHeaderHidden(true);
    m_outlineView->setUniformRowHeights(true);
    m_outlineView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_outlineView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_outlineView->setIconSize(QSize(ExportItemCell::iconSize, ExportItemCell::iconSize));
    m_outlineView->setAccessibleName(importing ? tr("Items to import") : tr("Items to export"));

    m_selectAllButton = new QPushButton(tr("Select None"), this);
    m_selectAllButton->setAutoDefault(false);
    // Wide enough for both titles, so that it keeps its size when retitled.
    m_selectAllButton->setMinimumWidth(m_selectAllButton->sizeHint().width());
    m_selectAllButton->setText(tr("Select All"));
    connect(m_selectAllButton, &QPushButton::clicked, this,
            &ImportExportViewController::selectAllButtonTapped);

    // Ok and Cancel renamed, so that both look as the platform's dialog buttons look.
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_mainButton = m_buttons->button(QDialogButtonBox::Ok);
    m_mainButton->setText(importing ? tr("Import") : tr("Export…"));
    m_mainButton->setDefault(true);
    connect(m_buttons, &QDialogButtonBox::accepted, this,
            &ImportExportViewController::mainButtonTapped);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ImportExportViewController::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_selectAllButton);
    bottom->addStretch(1);
    bottom->addWidget(m_buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_descriptionTextField);
    layout->addWidget(m_outlineView, 1);
    layout->addLayout(bottom);
    resize(460, 440);
}

void ImportExportViewController::setItems(const QList<DisplayItem*>& items)
{
    m_items = items;
    m_model->setItems(items);
    m_outlineView->expandAll();
    setLableForSelectAllButton();
}

QJsonArray ImportExportViewController::foldersToImport() const
{
    return m_model->isImportMode() ? m_model->entries() : QJsonArray();
}

void ImportExportViewController::setFoldersToImport(const QJsonArray& entries)
{
    m_model->setEntries(entries);
    m_outlineView->expandAll();
    setLableForSelectAllButton();
}

QJsonArray
ImportExportViewController::addImportAttributeToObjectsToImport(const QJsonArray& entries)
{
    QJsonArray marked;
    for (const QJsonValue& element : entries) {
        QJsonObject entry = element.toObject();
        for (auto member = entry.begin(); member != entry.end(); ++member) {
            const std::optional<Entity> entity = entityFromName(member.key());
            const bool row = entity && (*entity == Entity::Folder || *entity == Entity::Kanban ||
                                        *entity == Entity::List);
            if (!row || !member.value().isObject())
                continue;
            QJsonObject attributes = member.value().toObject();
            attributes.insert(exportKey, true);
            const QJsonValue children = attributes.value(childrenKey);
            if (children.isArray())
                attributes.insert(childrenKey,
                                  addImportAttributeToObjectsToImport(children.toArray()));
            member.value() = attributes;
        }
        marked.append(element.isObject() ? QJsonValue(entry) : element);
    }
    return marked;
}

void ImportExportViewController::loadKanbans()
{
    if (isImportMode()) {
        setFoldersToImport(addImportAttributeToObjectsToImport(m_documentEntries));
        return;
    }
    ObjectContext* context = m_appDelegate ? m_appDelegate->managedObjectContext() : nullptr;
    const QList<Root*> roots = context ? context->fetch<Root>({}, 1) : QList<Root*>();
    if (roots.isEmpty()) {
        qWarning().noquote() << "FETAL ERROR: Cannot find root object "
                             << (context ? QStringLiteral("(the store has no Root)")
                                         : QStringLiteral("(no store is open)"));
        setItems({});
        return;
    }
    setItems(roots.first()->children());
    // Flags that disagreed with what the rows show were brought in line.
    if (m_model->exportFlagsChanged())
        m_appDelegate->save();
}

void ImportExportViewController::justCheckedItemWithItem(const QModelIndex& index, bool checked)
{
    if (m_busy)
        return;
    m_model->setChecked(index, checked);
    if (m_model->exportFlagsChanged())
        m_appDelegate->save();
    setLableForSelectAllButton();
}

void ImportExportViewController::setLableForSelectAllButton()
{
    const bool allOn = m_model->checkedRowCount() > 0 && m_model->uncheckedRowCount() == 0;
    m_selectAllButton->setText(allOn ? tr("Select None") : tr("Select All"));
    m_selectAllButton->setEnabled(!m_busy && m_model->rowCount() > 0);
    // Nothing chosen, nothing to do.
    m_mainButton->setEnabled(!m_busy && m_model->hasChosenRows());
}

void ImportExportViewController::selectAllButtonTapped()
{
    if (m_busy)
        return;
    m_model->setAllChecked(m_selectAllButton->text() == tr("Select All"));
    if (m_model->exportFlagsChanged())
        m_appDelegate->save();
    setLableForSelectAllButton();
}

void ImportExportViewController::mainButtonTapped()
{
    if (m_busy || !m_model->hasChosenRows())
        return;
    if (isImportMode())
        importProjects();
    else
        exportProjects();
}

void ImportExportViewController::exportProjects()
{
    const QString path = m_saveFileChooser ? m_saveFileChooser() : chooseExportFile(this);
    if (path.isEmpty())
        return;
    QString error;
    if (!JSONWriter::exportToFile(m_items, path, &error)) {
        MessageBox::critical(this, tr("The export could not be written."), error);
        return;
    }
    m_appDelegate->save();
    accept();
}

void ImportExportViewController::importProjects()
{
    setBusy(true);
    m_progress = new QProgressDialog(tr("Importing…"), QString(), 0, 0, this);
    m_progress->setWindowTitle(windowTitle());
    m_progress->setCancelButton(nullptr); // an import cannot stop half way
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(progressDelayMs);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);

    if (m_document && m_model->isEverythingChosen()) {
        finishImport(m_document, true, {});
        return;
    }
    // Only the chosen entries: checked again off the main thread, as a document of their own.
    auto* watcher = new QFutureWatcher<ParsedChoice>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const ParsedChoice parsed = watcher->result();
        watcher->deleteLater();
        finishImport(parsed.document, false, parsed.error);
    });
    watcher->setFuture(QtConcurrent::run(parsingPool(), &parseChoice, m_model->chosenEntries()));
}

void ImportExportViewController::finishImport(
    const std::shared_ptr<const ExchangeDocument>& document, bool everything, const QString& error)
{
    if (!document) {
        failImport(error);
        return;
    }
    ObjectContext* context = m_appDelegate ? m_appDelegate->managedObjectContext() : nullptr;
    if (!context) {
        failImport(tr("No store is open."));
        return;
    }
    JSONReader& reader = JSONReader::shared();
    if (reader.context() != context)
        reader.setContext(context);
    QString importError;
    Folder* folder =
        reader.importDocument(*document, &importError, [this](qsizetype built, qsizetype total) {
            if (!m_progress)
                return;
            m_progress->setMaximum(int(qMin<qsizetype>(total, INT_MAX)));
            m_progress->setValue(int(qMin<qsizetype>(built, INT_MAX)));
            // A shown progress dialog keeps the window painted itself; until then this does.
            if (!m_progress->isVisible())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    if (!folder) {
        failImport(importError);
        return;
    }
    // What was imported was chosen: its flags say so, as the chosen entries' members do.
    if (everything) {
        for (DisplayItem* child : folder->children())
            flagSubtree(child);
    }
    if (m_progress)
        m_progress->setLabelText(tr("Saving…"));
    m_appDelegate->save();
    delete m_progress;
    m_progress = nullptr;
    setBusy(false);
    Q_EMIT itemsImported(folder);
    accept();
}

void ImportExportViewController::failImport(const QString& error)
{
    delete m_progress;
    m_progress = nullptr;
    setBusy(false);
    MessageBox::critical(this, tr("The items could not be imported."), error);
}

void ImportExportViewController::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void ImportExportViewController::setBusy(bool busy)
{
    m_busy = busy;
    m_outlineView->setEnabled(!busy);
    m_buttons->setEnabled(!busy);
    setLableForSelectAllButton();
}
