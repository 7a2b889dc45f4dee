#include "IsolatedEnvironment.h"
#include "interchange/ExchangeDocument.h"
#include "interchange/TemplateCollectionViewItem.h"
#include "interchange/TemplateViewController.h"
#include "interchange/TemplateViewControllerDelegate.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

class RecordingDelegate final : public TemplateViewControllerDelegate
{
public:
    void selectedTemplateWithUrl(const std::optional<QUrl>& url) override { urls.append(url); }
    QList<std::optional<QUrl>> urls;
};

// A templates folder with the categories Work, Basic and Personal: some templates have a
// thumbnail, one has a broken one, one has none.
class TemplatesFolder
{
public:
    TemplatesFolder()
    {
        add(QStringLiteral("Work/Roadmap"), Qt::darkGreen);
        add(QStringLiteral("Work/Bugs"));
        add(QStringLiteral("Basic/Simple board"), Qt::red);
        add(QStringLiteral("Basic/blank"), Qt::white);
        add(QStringLiteral("Personal/Trips"));
        QFile broken(path(QStringLiteral("Personal/Trips.png")));
        if (!broken.open(QIODevice::WriteOnly) || broken.write("not a picture") < 0)
            qFatal("cannot write the broken thumbnail");
    }

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return QDir(root()).filePath(relative); }
    QUrl url(const QString& name) const
    {
        return QUrl::fromLocalFile(path(name + QStringLiteral(".Pinwheels")));
    }

private:
    void add(const QString& name, std::optional<QColor> thumbnail = std::nullopt)
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile file(path(name + QStringLiteral(".Pinwheels")));
        if (!file.open(QIODevice::WriteOnly) || file.write("[]") < 0)
            qFatal("cannot write a template");
        if (thumbnail) {
            QImage picture(320, 200, QImage::Format_RGB32);
            picture.fill(*thumbnail);
            picture.save(path(name + QStringLiteral(".png")));
        }
    }

    QTemporaryDir m_dir;
};

QStringList rowTitles(const QListWidget* list)
{
    QStringList titles;
    for (int row = 0; row < list->count(); ++row)
        titles.append(list->item(row)->text());
    return titles;
}

// The grid's cells in order: section headers as "# name", templates by name.
QStringList gridCells(const TemplateViewController& chooser)
{
    QStringList cells;
    const QAbstractItemModel* model = chooser.templateCollectionView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const QString name = index.data().toString();
        cells.append(index.data(TemplateCollectionViewItem::SectionHeaderRole).toBool()
                         ? QStringLiteral("# ") + name
                         : name);
    }
    return cells;
}

QModelIndex cellNamed(const TemplateViewController& chooser, const QString& name)
{
    const QAbstractItemModel* model = chooser.templateCollectionView()->model();
    const QModelIndexList found =
        model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    return found.value(0);
}

QImage thumbnailOf(const TemplateViewController& chooser, const QString& name)
{
    return cellNamed(chooser, name).data(Qt::DecorationRole).value<QImage>();
}

// A chooser on the folder, shown, telling delegate.
std::unique_ptr<TemplateViewController> showChooser(const QString& folder,
                                                    RecordingDelegate* delegate)
{
    auto chooser = std::make_unique<TemplateViewController>(nullptr, folder);
    chooser->setTemplateDelegate(delegate);
    chooser->show();
    if (!QTest::qWaitForWindowExposed(chooser.get()))
        qFatal("the chooser was not shown");
    return chooser;
}

bool sameColour(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 &&
           qAbs(a.blue() - b.blue()) < 8;
}

} // namespace

class TemplateChooserTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void categories_allThenBasicThenTheOthersSorted()
    {
        TemplatesFolder folder;
        TemplateViewController chooser(nullptr, folder.root());
        QCOMPARE(rowTitles(chooser.tableView()), (QStringList{"All", "Basic", "Personal", "Work"}));
        QCOMPARE(chooser.templates().value(QStringLiteral("Work")),
                 (QList<QUrl>{folder.url(QStringLiteral("Work/Bugs")),
                              folder.url(QStringLiteral("Work/Roadmap"))}));
        // Thumbnails are not templates.
        QCOMPARE(chooser.templates().value(QStringLiteral("Personal")).size(), 1);

        QCOMPARE(TemplateViewController::sortBasicToFrontWithArray({"Work", "Basic", "Personal"}),
                 (QStringList{"Basic", "Work", "Personal"}));
        QCOMPARE(TemplateViewController::sortBasicToFrontWithArray({"Work", "Personal"}),
                 (QStringList{"Basic", "Work", "Personal"}));
        // Without a Basic folder the list offers no empty Basic row.
        QVERIFY(QDir(folder.path(QStringLiteral("Basic"))).removeRecursively());
        chooser.populateDataSource();
        QCOMPARE(rowTitles(chooser.tableView()), (QStringList{"All", "Personal", "Work"}));
    }

    void grid_showsSectionsNamesAndThumbnails()
    {
        TemplatesFolder folder;
        TemplateViewController chooser(nullptr, folder.root());
        // "All": a header per category, in list order; the empty board first in its category.
        QCOMPARE(gridCells(chooser), (QStringList{"# Basic", "blank", "Simple board", "# Personal",
                                                  "Trips", "# Work", "Bugs", "Roadmap"}));
        chooser.selectCategory(3);
        QCOMPARE(gridCells(chooser), (QStringList{"Bugs", "Roadmap"}));

        const QImage roadmap = thumbnailOf(chooser, QStringLiteral("Roadmap"));
        QCOMPARE(roadmap.size(), QSize(320, 200));
        QCOMPARE(roadmap.pixelColor(10, 10), QColor(Qt::darkGreen));
        const QImage generic = TemplateViewController::genericTemplateImage();
        QVERIFY(!generic.isNull());
        QCOMPARE(thumbnailOf(chooser, QStringLiteral("Bugs")), generic); // no thumbnail
        chooser.selectCategory(2);
        QCOMPARE(thumbnailOf(chooser, QStringLiteral("Trips")), generic); // unreadable one

        QCOMPARE(TemplateViewController::displayName(std::nullopt), QStringLiteral("untitled"));
        QCOMPARE(TemplateViewController::displayName(folder.url(QStringLiteral("Work/Bugs"))),
                 QStringLiteral("Bugs"));
    }

    void firstTemplateIsPreselected_andTheSelectionIsDrawn()
    {
        TemplatesFolder folder;
        TemplateViewController chooser(nullptr, folder.root());
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QCOMPARE(chooser.selectedTemplateUrl(), folder.url(QStringLiteral("Basic/blank")));

        // Another category keeps a template it still shows, and otherwise takes its first.
        chooser.selectCategory(3);
        QCOMPARE(chooser.selectedTemplateUrl(), folder.url(QStringLiteral("Work/Bugs")));
        QVERIFY(chooser.selectTemplate(folder.url(QStringLiteral("Work/Roadmap"))));
        chooser.selectCategory(0);
        QCOMPARE(chooser.selectedTemplateUrl(), folder.url(QStringLiteral("Work/Roadmap")));

        // The selected thumbnail has a border in the selection colour, the others none.
        QListView* grid = chooser.templateCollectionView();
        const QImage shot = grid->viewport()->grab().toImage();
        const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
        const auto leftEdge = [&](const QString& name) {
            const QRect thumbnail = TemplateCollectionViewItem::thumbnailRect(
                grid->visualRect(cellNamed(chooser, name)));
            return shot.pixelColor(thumbnail.left() + 1, thumbnail.center().y());
        };
        QVERIFY(sameColour(leftEdge(QStringLiteral("Roadmap")), highlight));
        QVERIFY(!sameColour(leftEdge(QStringLiteral("Simple board")), highlight));
    }

    void choosing_reportsTheSelectedTemplateAndCloses()
    {
        TemplatesFolder folder;
        RecordingDelegate delegate;
        auto chooser = showChooser(folder.root(), &delegate);
        QTest::mouseClick(chooser->chooseButton(), Qt::LeftButton);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(chooser->result(), int(QDialog::Accepted));
        QCOMPARE(delegate.urls,
                 (QList<std::optional<QUrl>>{folder.url(QStringLiteral("Basic/blank"))}));

        // A double click chooses the template under it.
        chooser = showChooser(folder.root(), &delegate);
        QListView* grid = chooser->templateCollectionView();
        const QPoint trips =
            grid->visualRect(cellNamed(*chooser, QStringLiteral("Trips"))).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, trips);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, trips);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(delegate.urls.last(), folder.url(QStringLiteral("Personal/Trips")));

        // Return chooses, Escape cancels.
        chooser = showChooser(folder.root(), &delegate);
        chooser->templateCollectionView()->setFocus();
        QTest::keyClick(chooser->templateCollectionView(), Qt::Key_Right);
        QTest::keyClick(chooser->templateCollectionView(), Qt::Key_Return);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(delegate.urls.last(), folder.url(QStringLiteral("Basic/Simple board")));
        const qsizetype reports = delegate.urls.size();
        chooser->show();
        QTest::keyClick(chooser.get(), Qt::Key_Escape);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(chooser->result(), int(QDialog::Rejected));
        QCOMPARE(delegate.urls.size(), reports);
    }

    void choosingWithNothingSelected_closesAndReportsNothing()
    {
        TemplatesFolder folder;
        RecordingDelegate delegate;
        auto chooser = showChooser(folder.root(), &delegate);
        chooser->templateCollectionView()->clearSelection();
        QCOMPARE(chooser->selectedTemplateUrl(), std::nullopt);
        QTest::mouseClick(chooser->chooseButton(), Qt::LeftButton);
        QVERIFY(!chooser->isVisible());
        QVERIFY(delegate.urls.isEmpty());
    }

    void unreadableFolder_leavesTheChooserEmptyButUsable()
    {
        QTemporaryDir parent;
        const QString missing = QDir(parent.path()).filePath(QStringLiteral("Templates"));
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral(
                              "^Error in getting template directorsy content .*no such folder")));
        RecordingDelegate delegate;
        auto chooser = showChooser(missing, &delegate);
        QVERIFY(chooser->templates().isEmpty());
        QCOMPARE(rowTitles(chooser->tableView()), QStringList{"All"});
        QCOMPARE(chooser->templateCollectionView()->model()->rowCount(), 0);
        QTest::mouseClick(chooser->chooseButton(), Qt::LeftButton);
        QVERIFY(!chooser->isVisible());
        QVERIFY(delegate.urls.isEmpty());
    }

    void shippedTemplates_areCompiledInWithThumbnails()
    {
        TemplateViewController chooser;
        QCOMPARE(rowTitles(chooser.tableView()).mid(0, 2), (QStringList{"All", "Basic"}));
        const QImage generic = TemplateViewController::genericTemplateImage();
        for (const QList<QUrl>& urls : chooser.templates()) {
            for (const QUrl& url : urls) {
                QCOMPARE(url.scheme(), QStringLiteral("qrc"));
                QFile file(TemplateViewController::filePathForUrl(url));
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url.toString()));
                QString error;
                QVERIFY2(ExchangeDocument::parse(file.readAll(), &error), qPrintable(error));
                QVERIFY(TemplateViewController::thumbnailForTemplate(url) != generic);
            }
        }
        const QUrl blank(QStringLiteral("qrc:/Templates/Basic/blank.Pinwheels"));
        QCOMPARE(chooser.templates().value(QStringLiteral("Basic")).value(0), blank);
        QCOMPARE(
            TemplateViewController::urlForFilePath(TemplateViewController::filePathForUrl(blank)),
            blank);
    }
};

PINWHEELS_GUI_TEST_MAIN(TemplateChooserTest)
#include "tst_templatechooser.moc"
