#include "IsolatedEnvironment.h"
#include "SampleStore.h"
#include "interchange/ExportItemCell.h"
#include "interchange/ImportExportOutlineModel.h"
#include "interchange/ImportExportViewController.h"
#include "interchange/JSONReader.h"
#include "store/AppDelegate.h"
#include "store/Defaults.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

// Two folders and a board; the first folder holds two boards and a list.
const char* const sampleDocument = R"([
  {"Folder": {"title": "Projects", "objectIDURI": "u1", "export": false, "children": [
    {"Kanban": {"title": "Launch", "objectIDURI": "u2", "column": [
      {"KanbanColumn": {"title": "To do", "objectIDURI": "u3", "item": [
        {"ListItem": {"title": "Write the plan", "objectIDURI": "u4"}}]}}]}},
    {"Kanban": {"title": "Hiring", "objectIDURI": "u5"}},
    {"List": {"title": "Errands", "objectIDURI": "u6", "export": false}}]}},
  {"Folder": {"title": "Archive", "objectIDURI": "u7", "children": []}},
  {"Kanban": {"title": "Inbox", "objectIDURI": "u8"}}
])";

// The tree below the given nodes, e.g. "Work(Plan Errands) Loose".
QString treeOf(const QList<DisplayItem*>& items)
{
    QStringList parts;
    for (const DisplayItem* item : items) {
        QString part = item->title();
        if (item->isKindOf(Entity::Folder))
            part += QLatin1Char('(') + treeOf(item->children()) + QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

QString treeOf(const QJsonArray& entries)
{
    QStringList parts;
    for (const QJsonValue& entry : entries) {
        const QJsonObject object = entry.toObject();
        const QString entity = object.keys().value(0);
        const QJsonObject attributes = object.value(entity).toObject();
        QString part = attributes.value(QStringLiteral("title")).toString();
        if (entity == QStringLiteral("Folder"))
            part += QLatin1Char('(') +
                    treeOf(attributes.value(QStringLiteral("children")).toArray()) +
                    QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

QModelIndex rowTitled(const ImportExportViewController& sheet, const QString& title)
{
    for (const QModelIndex& index : sheet.outlineModel()->allIndexes()) {
        if (index.data().toString() == title)
            return index;
    }
    return {};
}

Qt::CheckState stateOf(const ImportExportViewController& sheet, const QString& title)
{
    const QModelIndex index = rowTitled(sheet, title);
    if (!index.isValid())
        qFatal("no row %s", qPrintable(title));
    return sheet.outlineModel()->checkState(index);
}

// Every row's state as "title=state", depth first (0 off, 1 mixed, 2 on).
QString statesOf(const ImportExportViewController& sheet)
{
    QStringList states;
    for (const QModelIndex& index : sheet.outlineModel()->allIndexes())
        states.append(index.data().toString() + QLatin1Char('=') +
                      QString::number(sheet.outlineModel()->checkState(index)));
    return states.join(QLatin1Char(' '));
}

// Clicks the row's check box, as the user does.
void clickCheckBox(ImportExportViewController& sheet, const QString& title)
{
    QTreeView* view = sheet.outlineView();
    const QModelIndex index = rowTitled(sheet, title);
    view->scrollTo(index);
    const auto* cell = static_cast<ExportItemCell*>(view->itemDelegate());
    const QRect box = cell->checkButtonRect(view->visualRect(index), index, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
}

ImportExportViewController* sheetNamed(const QString& title)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* sheet = qobject_cast<ImportExportViewController*>(widget);
        if (sheet && sheet->isVisible() && sheet->windowTitle() == title)
            return sheet;
    }
    return nullptr;
}

} // namespace

class ImportExportSheetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dataHome;
    std::unique_ptr<QTemporaryDir> files;
    std::unique_ptr<AppDelegate> appDelegate;
    ObjectContext* context = nullptr;
    Root* root = nullptr;

    QString writeFile(const QString& name, const QByteArray& contents)
    {
        const QString path = QDir(files->path()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    template <class T>
    T* node(const char* title, DisplayItem* parent)
    {
        auto* item = context->insert<T>();
        item->setTitle(QString::fromUtf8(title));
        item->setParent(parent);
        return item;
    }

    // Work(Plan Later Errands) Home(Garden(Beds Paths)) Loose, no export flags.
    void makeStoredTree()
    {
        auto* work = node<Folder>("Work", root);
        node<Kanban>("Plan", work);
        node<Kanban>("Later", work);
        node<List>("Errands", work);
        auto* home = node<Folder>("Home", root);
        auto* garden = node<Folder>("Garden", home);
        node<Kanban>("Beds", garden);
        node<Kanban>("Paths", garden);
        node<Kanban>("Loose", root);
        QVERIFY(appDelegate->save());
    }

    std::unique_ptr<ImportExportViewController> openImport(const QByteArray& json)
    {
        QString error;
        std::unique_ptr<ImportExportViewController> sheet(
            ImportExportViewController::createForImport(
                writeFile(QStringLiteral("import.Pinwheels"), json), nullptr, &error,
                appDelegate.get()));
        if (!sheet)
            qFatal("refused: %s", qPrintable(error));
        sheet->show();
        return sheet;
    }

private Q_SLOTS:
    void init()
    {
        dataHome = std::make_unique<QTemporaryDir>();
        files = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome->path()));
        Defaults::standard().clear();
        appDelegate = std::make_unique<AppDelegate>();
        QVERIFY(appDelegate->launch());
        context = appDelegate->managedObjectContext();
        root = context->insert<Root>();
        QVERIFY(appDelegate->save());
        MessageBox::takeShownAlerts();
    }

    void cleanup()
    {
        JSONReader::shared().setContext(nullptr);
        appDelegate.reset();
        QCOMPARE(MessageBox::takeShownAlerts().size(), 0);
    }

    void import_showsEveryRowChecked_andImportsOnlyWhatIsChecked()
    {
        auto sheet = openImport(sampleDocument);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Import"));
        QCOMPARE(sheet->descriptionTextField()->text(), QStringLiteral("Import all items?"));
        QCOMPARE(sheet->mainButton()->text(), QStringLiteral("Import"));
        QCOMPARE(sheet->outlineModel()->rowCount(), 3);
        QCOMPARE(statesOf(*sheet), QStringLiteral("Projects=2 Launch=2 Hiring=2 Errands=2 "
                                                  "Archive=2 Inbox=2"));
        QVERIFY(sheet->outlineView()->isExpanded(rowTitled(*sheet, QStringLiteral("Projects"))));
        QCOMPARE(sheet->selectAllButton()->text(), QStringLiteral("Select None"));

        // A board unchecked inside a checked folder: the folder is mixed.
        clickCheckBox(*sheet, QStringLiteral("Hiring"));
        QCOMPARE(stateOf(*sheet, QStringLiteral("Projects")), Qt::PartiallyChecked);
        QCOMPARE(stateOf(*sheet, QStringLiteral("Hiring")), Qt::Unchecked);
        QCOMPARE(sheet->selectAllButton()->text(), QStringLiteral("Select All"));
        const QJsonObject hiring =
            sheet
                ->foldersToImport()[0][QStringLiteral("Folder")][QStringLiteral("children")][1]
                                   [QStringLiteral("Kanban")]
                .toObject();
        QCOMPARE(hiring.value(QStringLiteral("export")), QJsonValue(false));
        clickCheckBox(*sheet, QStringLiteral("Archive"));

        // The document is untouched; the store gets exactly what is checked.
        const qsizetype before = SampleStore::objectCount(*context);
        QTest::mouseClick(sheet->mainButton(), Qt::LeftButton);
        QTRY_VERIFY(!sheet->isVisible());
        QCOMPARE(sheet->result(), int(QDialog::Accepted));
        QCOMPARE(root->children().size(), 1);
        Folder* imported = static_cast<Folder*>(root->children().first());
        QVERIFY(imported->title().startsWith(QStringLiteral("Imported - ")));
        QCOMPARE(treeOf(imported->children()), QStringLiteral("Projects(Launch Errands) Inbox"));
        // Two folders, two boards, a list, a column and a card.
        QCOMPARE(SampleStore::objectCount(*context), before + 7);
        QVERIFY(!context->hasChanges());
        QVERIFY(imported->children().first()->isExported());
    }

    void import_aFolderGivesItsStateToEverythingInIt()
    {
        auto sheet = openImport(sampleDocument);
        clickCheckBox(*sheet, QStringLiteral("Projects"));
        QCOMPARE(statesOf(*sheet), QStringLiteral("Projects=0 Launch=0 Hiring=0 Errands=0 "
                                                  "Archive=2 Inbox=2"));
        // A list inside a folder goes with its folder.
        clickCheckBox(*sheet, QStringLiteral("Errands"));
        QCOMPARE(stateOf(*sheet, QStringLiteral("Errands")), Qt::Unchecked);
        clickCheckBox(*sheet, QStringLiteral("Launch"));
        QCOMPARE(stateOf(*sheet, QStringLiteral("Errands")), Qt::Checked);
        clickCheckBox(*sheet, QStringLiteral("Projects"));
        QCOMPARE(statesOf(*sheet), QStringLiteral("Projects=2 Launch=2 Hiring=2 Errands=2 "
                                                  "Archive=2 Inbox=2"));

        // Space on the current row works as a click on its box.
        sheet->outlineView()->setFocus();
        sheet->outlineView()->setCurrentIndex(rowTitled(*sheet, QStringLiteral("Inbox")));
        QTest::keyClick(sheet->outlineView(), Qt::Key_Space);
        QCOMPARE(stateOf(*sheet, QStringLiteral("Inbox")), Qt::Unchecked);

        // Nothing chosen, nothing to import: the button does nothing.
        QTest::mouseClick(sheet->selectAllButton(), Qt::LeftButton);
        QCOMPARE(sheet->selectAllButton()->text(), QStringLiteral("Select None"));
        QTest::mouseClick(sheet->selectAllButton(), Qt::LeftButton);
        QCOMPARE(sheet->selectAllButton()->text(), QStringLiteral("Select All"));
        QVERIFY(!sheet->mainButton()->isEnabled());
        sheet->mainButtonTapped();
        QVERIFY(sheet->isVisible());
        QVERIFY(root->children().isEmpty());
    }

    void import_entryWithoutTitle()
    {
        auto sheet = openImport(R"([{"Kanban": {"objectIDURI": "b"}},
                                    {"Folder": {"title": null, "children": []}}])");
        QCOMPARE(sheet->outlineModel()->index(0, 0).data().toString(),
                 QStringLiteral("ERROR: NO TITLE FOUND"));
        QCOMPARE(sheet->outlineModel()->index(1, 0).data().toString(),
                 QStringLiteral("ERROR: NO TITLE FOUND"));
    }

    void import_refusedDocument_showsOneMessageAndNoSheet_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unreadable") << QByteArray() << QStringLiteral("could not be read");
        QTest::newRow("not JSON") << QByteArray("[{\"Folder\": ") << QStringLiteral("JSON");
        QTest::newRow("card at the top")
            << QByteArray(R"([{"ListItem": {"title": "x"}}])")
            << QStringLiteral("[0].ListItem: a ListItem cannot be imported at the top level");
        QTest::newRow("wrong type") << QByteArray(R"([{"Folder": {"title": 5}}])")
                                    << QStringLiteral("[0].Folder.title: must be a string");
        QTest::newRow("nothing in it") << QByteArray("[]") << QStringLiteral("holds no folders");
    }

    void import_refusedDocument_showsOneMessageAndNoSheet()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        makeStoredTree();
        const qsizetype before = SampleStore::objectCount(*context);
        const QString path = contents.isNull()
                                 ? QDir(files->path()).filePath(QStringLiteral("gone.Pinwheels"))
                                 : writeFile(QStringLiteral("bad.Pinwheels"), contents);
        QWidget window;
        window.show();
        QVERIFY(!ImportExportViewController::openImportSheet(&window, path));
        QVERIFY(!sheetNamed(QStringLiteral("Import")));
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().text,
                 QStringLiteral("“%1” could not be imported.").arg(QFileInfo(path).fileName()));
        QVERIFY2(alerts.first().informativeText.contains(reason),
                 qPrintable(alerts.first().informativeText));
        QCOMPARE(SampleStore::objectCount(*context), before);
        QVERIFY(!context->hasChanges());
    }

    void import_thatTheStoreRefuses_isReported_andTheSheetStays()
    {
        auto sheet = openImport(sampleDocument);
        context->deleteObject(root);
        QVERIFY(appDelegate->save());
        QTest::mouseClick(sheet->mainButton(), Qt::LeftButton);
        QVERIFY(sheet->isVisible());
        QVERIFY(!sheet->isBusy());
        const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts.first().text, QStringLiteral("The items could not be imported."));
        QVERIFY(alerts.first().informativeText.contains(QStringLiteral("root")));
        QCOMPARE(SampleStore::objectCount(*context), 0);
        QVERIFY(!context->hasChanges());
    }

    void import_largeDocument_isReadAndBuiltWithoutBlocking()
    {
        // Past the size read on a worker; every card is built behind a progress dialog.
        QJsonArray cards;
        const QString text(200, QLatin1Char('x'));
        for (int i = 0; i < 6000; ++i)
            cards.append(
                QJsonObject{{QStringLiteral("ListItem"),
                             QJsonObject{{QStringLiteral("title"), text + QString::number(i)}}}});
        const QJsonObject column{
            {QStringLiteral("KanbanColumn"), QJsonObject{{QStringLiteral("item"), cards}}}};
        const QJsonArray document{
            QJsonObject{{QStringLiteral("Kanban"),
                         QJsonObject{{QStringLiteral("title"), QStringLiteral("Big")},
                                     {QStringLiteral("column"), QJsonArray{column}}}}}};
        const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
        QVERIFY(json.size() > ImportExportViewController::backgroundReadingSize);

        QWidget window;
        window.show();
        QPointer sheet = ImportExportViewController::openImportSheet(
            &window, writeFile(QStringLiteral("big.Pinwheels"), json));
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QTest::mouseClick(sheet->mainButton(), Qt::LeftButton);
        QTRY_VERIFY(sheet.isNull()); // closed and deleted
        const QList<Kanban*> boards = context->fetch<Kanban>();
        QCOMPARE(boards.size(), 1);
        QCOMPARE(boards.first()->column().first()->item().size(), 6000);
        QVERIFY(!context->hasChanges());
    }

    void export_aFolderGivesItsStateToEverythingInIt_andFlagsAreSaved()
    {
        makeStoredTree();
        ImportExportViewController sheet(nullptr, appDelegate.get());
        sheet.show();
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Export"));
        QCOMPARE(sheet.descriptionTextField()->text(),
                 QStringLiteral("Choose the folders and boards to export."));
        QCOMPARE(sheet.mainButton()->text(), QStringLiteral("Export…"));
        QCOMPARE(statesOf(sheet), QStringLiteral("Work=0 Plan=0 Later=0 Errands=0 Home=0 Garden=0 "
                                                 "Beds=0 Paths=0 Loose=0"));
        QCOMPARE(sheet.selectAllButton()->text(), QStringLiteral("Select All"));
        QVERIFY(!sheet.mainButton()->isEnabled());

        clickCheckBox(sheet, QStringLiteral("Work"));
        QCOMPARE(statesOf(sheet), QStringLiteral("Work=2 Plan=2 Later=2 Errands=2 Home=0 Garden=0 "
                                                 "Beds=0 Paths=0 Loose=0"));
        QVERIFY(!context->hasChanges());
        const auto stored = [&](const QString& title) {
            return static_cast<DisplayItem*>(sheet.outlineModel()->itemAt(rowTitled(sheet, title)))
                ->isExported();
        };
        QVERIFY(stored(QStringLiteral("Work")) && stored(QStringLiteral("Later")));

        clickCheckBox(sheet, QStringLiteral("Later"));
        QCOMPARE(stateOf(sheet, QStringLiteral("Work")), Qt::PartiallyChecked);
        QVERIFY(!stored(QStringLiteral("Later")));
        // Mixed below mixed: a board checked two folders down.
        clickCheckBox(sheet, QStringLiteral("Beds"));
        QCOMPARE(stateOf(sheet, QStringLiteral("Garden")), Qt::PartiallyChecked);
        QCOMPARE(stateOf(sheet, QStringLiteral("Home")), Qt::PartiallyChecked);
        clickCheckBox(sheet, QStringLiteral("Home"));
        QCOMPARE(statesOf(sheet), QStringLiteral("Work=1 Plan=2 Later=0 Errands=2 Home=2 Garden=2 "
                                                 "Beds=2 Paths=2 Loose=0"));
        QVERIFY(!context->hasChanges());
    }

    void export_writesExactlyTheCheckedItems_andTheChoiceStays()
    {
        makeStoredTree();
        // A flag out of step with what is below it is brought in line when the sheet opens.
        static_cast<Folder*>(root->children().first())->setExportFlag(true);
        QVERIFY(appDelegate->save());
        const QString path = QDir(files->path()).filePath(QStringLiteral("out.Pinwheels"));
        {
            ImportExportViewController sheet(nullptr, appDelegate.get());
            sheet.show();
            QCOMPARE(stateOf(sheet, QStringLiteral("Work")), Qt::Unchecked);
            QVERIFY(!root->children().first()->isExported());
            QVERIFY(!context->hasChanges());
            clickCheckBox(sheet, QStringLiteral("Plan"));
            clickCheckBox(sheet, QStringLiteral("Beds"));

            // A cancelled save panel writes nothing and keeps the sheet.
            sheet.setSaveFileChooser([] { return QString(); });
            QTest::mouseClick(sheet.mainButton(), Qt::LeftButton);
            QVERIFY(sheet.isVisible());
            QVERIFY(QDir(files->path()).isEmpty());

            sheet.setSaveFileChooser([path] { return path; });
            QTest::mouseClick(sheet.mainButton(), Qt::LeftButton);
            QVERIFY(!sheet.isVisible());
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray written = QJsonDocument::fromJson(file.readAll()).array();
        QCOMPARE(treeOf(written), QStringLiteral("Work(Plan Errands) Home(Garden(Beds))"));

        // The flags stay for the next export.
        ImportExportViewController again(nullptr, appDelegate.get());
        QCOMPARE(statesOf(again), QStringLiteral("Work=1 Plan=2 Later=0 Errands=2 Home=1 Garden=1 "
                                                 "Beds=2 Paths=0 Loose=0"));
    }

    void export_toAnUnwritablePlace_isReported_andTheSheetStays()
    {
        makeStoredTree();
        ImportExportViewController sheet(nullptr, appDelegate.get());
        sheet.show();
        QTest::mouseClick(sheet.selectAllButton(), Qt::LeftButton);
        const QString aFile = writeFile(QStringLiteral("plain"), "x");
        for (const QString& target :
             {QDir(files->path()).filePath(QStringLiteral("missing/out.Pinwheels")),
              aFile + QStringLiteral("/out.Pinwheels")}) {
            sheet.setSaveFileChooser([target] { return target; });
            QTest::mouseClick(sheet.mainButton(), Qt::LeftButton);
            QVERIFY(sheet.isVisible());
            const QList<MessageBox::Alert> alerts = MessageBox::takeShownAlerts();
            QCOMPARE(alerts.size(), 1);
            QCOMPARE(alerts.first().text, QStringLiteral("The export could not be written."));
            QVERIFY(alerts.first().informativeText.contains(QDir::toNativeSeparators(target)));
            QVERIFY(!QFileInfo::exists(target));
        }
    }

    void export_withoutRoot_showsNoRows()
    {
        context->deleteObject(root);
        QVERIFY(appDelegate->save());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^FETAL ERROR: Cannot find root object ")));
        ImportExportViewController sheet(nullptr, appDelegate.get());
        QCOMPARE(sheet.outlineModel()->rowCount(), 0);
        QVERIFY(!sheet.selectAllButton()->isEnabled());
        QVERIFY(!sheet.mainButton()->isEnabled());
    }
};

PINWHEELS_GUI_TEST_MAIN(ImportExportSheetTest)
#include "tst_importexportsheet.moc"
