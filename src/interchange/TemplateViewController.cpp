#include "TemplateViewController.h"

#include "TemplateCollectionViewItem.h"
#include "TemplateViewControllerDelegate.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int gridColumns = 4;
constexpr int gridSpacing = 4;
constexpr auto qrcScheme = QLatin1StringView("qrc");
constexpr auto thumbnailSuffix = QLatin1StringView("png");

bool isThumbnail(const QFileInfo& file)
{
    return file.suffix().compare(thumbnailSuffix, Qt::CaseInsensitive) == 0;
}

} // namespace

TemplateViewController::TemplateViewController(QWidget* parent, const QString& templatesDirectory)
    : QDialog(parent)
    , m_templatesDirectory(templatesDirectory)
{
    setWindowTitle(tr("New Board from Template"));

    m_tableView = new QListWidget(this);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setUniformItemSizes(true);
    // Room around the names, as a sidebar list has.
    m_tableView->setStyleSheet(QStringLiteral("QListWidget::item { padding: 4px 6px; }"));
    m_tableView->setFixedWidth(160);
    m_tableView->setAccessibleName(tr("Categories"));
    connect(m_tableView, &QListWidget::currentRowChanged, this,
            &TemplateViewController::reloadGrid);

    m_gridModel = new QStandardItemModel(this);
    m_templateCollectionView = new QListView(this);
    m_templateCollectionView->setModel(m_gridModel);
    m_templateCollectionView->setItemDelegate(
        new TemplateCollectionViewItem(m_templateCollectionView));
    m_templateCollectionView->setViewMode(QListView::ListMode);
    m_templateCollectionView->setFlow(QListView::LeftToRight);
    m_templateCollectionView->setWrapping(true);
    m_templateCollectionView->setResizeMode(QListView::Adjust);
    m_templateCollectionView->setMovement(QListView::Static);
    m_templateCollectionView->setSpacing(gridSpacing);
    m_templateCollectionView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_templateCollectionView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_templateCollectionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_templateCollectionView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_templateCollectionView->setAccessibleName(tr("Templates"));
    // Four templates side by side, with room for the scroll bar.
    const QSize cell = TemplateCollectionViewItem::templateCellSize(fontMetrics());
    m_templateCollectionView->setMinimumSize(gridColumns * (cell.width() + 2 * gridSpacing) +
                                                 style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                                 2 * m_templateCollectionView->frameWidth() + 2,
                                             cell.height() * 2 + 4 * gridSpacing);
    connect(m_templateCollectionView, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) {
                if (index.flags() & Qt::ItemIsSelectable)
                    chooseButtonClicked();
            });

    // Ok and Cancel renamed, so that both look as the platform's dialog buttons look.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_chooseButton = buttons->button(QDialogButtonBox::Ok);
    m_chooseButton->setText(tr("Choose"));
    m_chooseButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this,
            &TemplateViewController::chooseButtonClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* panes = new QHBoxLayout;
    panes->addWidget(m_tableView);
    panes->addWidget(m_templateCollectionView, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(buttons);
    resize(sizeHint().width(), 560);

    populateDataSource();
}

TemplateViewController* TemplateViewController::openSheet(QWidget* window,
                                                          TemplateViewControllerDelegate* delegate)
{
    auto* sheet = new TemplateViewController(window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setTemplateDelegate(delegate);
    sheet->open();
    return sheet;
}

void TemplateViewController::populateDataSource()
{
    m_templates.clear();
    m_thumbnails.clear();
    const QDir directory(m_templatesDirectory);
    const QFileInfo info(m_templatesDirectory);
    if (!info.isDir() || !info.isReadable()) {
        const QString reason = info.exists() ? QStringLiteral("not a readable folder")
                                             : QStringLiteral("no such folder");
        qWarning().noquote() << "Error in getting template directorsy content "
                             << QDir::toNativeSeparators(m_templatesDirectory) +
                                    QStringLiteral(": ") + reason;
    } else {
        const QFileInfoList categories =
            directory.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& category : categories) {
            QList<QUrl> urls;
            const QFileInfoList files =
                QDir(category.filePath()).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& file : files) {
                if (!isThumbnail(file))
                    urls.append(urlForFilePath(file.filePath()));
            }
            // The empty board comes first: it is what a new board most often starts from.
            std::stable_partition(urls.begin(), urls.end(), [](const QUrl& url) {
                return displayName(url) == blankTemplateName;
            });
            m_templates.insert(category.fileName(), urls);
        }
    }
    reloadCategories();
}

QStringList TemplateViewController::sortBasicToFrontWithArray(const QStringList& names)
{
    QStringList sorted{basicCategory};
    for (const QString& name : names) {
        if (name != basicCategory)
            sorted.append(name);
    }
    return sorted;
}

QStringList TemplateViewController::categoryNames() const
{
    QStringList names = sortBasicToFrontWithArray(m_templates.keys()); // keys come sorted
    // Only categories that exist: without a "Basic" folder there is no "Basic" row.
    if (!m_templates.contains(basicCategory))
        names.removeFirst();
    return names;
}

QString TemplateViewController::displayName(const std::optional<QUrl>& url)
{
    if (!url || !url->isValid())
        return untitledName;
    return QFileInfo(url->path(QUrl::FullyDecoded)).completeBaseName();
}

QString TemplateViewController::filePathForUrl(const QUrl& url)
{
    if (url.scheme() == qrcScheme)
        return QLatin1Char(':') + url.path(QUrl::FullyDecoded);
    return url.toLocalFile();
}

QUrl TemplateViewController::urlForFilePath(const QString& path)
{
    if (path.startsWith(QLatin1Char(':'))) {
        QUrl url;
        url.setScheme(qrcScheme);
        url.setPath(path.mid(1), QUrl::DecodedMode);
        return url;
    }
    return QUrl::fromLocalFile(path);
}

QImage TemplateViewController::thumbnailForTemplate(const QUrl& url)
{
    const QFileInfo file(filePathForUrl(url));
    const QString thumbnailPath =
        file.dir().filePath(file.completeBaseName() + QLatin1Char('.') + thumbnailSuffix);
    QImageReader reader(thumbnailPath);
    QImage image = reader.read();
    return image.isNull() ? genericTemplateImage() : image;
}

QImage TemplateViewController::genericTemplateImage()
{
    static const QImage image = [] {
        QSvgRenderer renderer(QStringLiteral(":/images/generic_template.svg"));
        QImage picture(TemplateCollectionViewItem::thumbnailSize * 2,
                       QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        renderer.render(&painter);
        return picture;
    }();
    return image;
}

std::optional<QUrl> TemplateViewController::selectedTemplateUrl() const
{
    const QModelIndexList selected = m_templateCollectionView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    const QUrl url = selected.first().data(TemplateCollectionViewItem::TemplateUrlRole).toUrl();
    return url.isValid() ? std::optional<QUrl>(url) : std::nullopt;
}

bool TemplateViewController::selectTemplate(const QUrl& url)
{
    const QModelIndexList matches =
        m_gridModel->match(m_gridModel->index(0, 0), TemplateCollectionViewItem::TemplateUrlRole,
                           url, 1, Qt::MatchExactly);
    if (matches.isEmpty())
        return false;
    m_templateCollectionView->setCurrentIndex(matches.first());
    m_templateCollectionView->scrollTo(matches.first());
    return true;
}

void TemplateViewController::selectCategory(int row)
{
    m_tableView->setCurrentRow(row);
}

void TemplateViewController::chooseButtonClicked()
{
    // The choice is read before closing, and reported after, so that what the delegate does
    // next (a new board whose title it edits) happens with the chooser gone.
    const bool anySelected =
        !m_templateCollectionView->selectionModel()->selectedIndexes().isEmpty();
    const std::optional<QUrl> url = selectedTemplateUrl();
    TemplateViewControllerDelegate* delegate = m_templateDelegate;
    accept();
    if (delegate && anySelected)
        delegate->selectedTemplateWithUrl(url);
}

void TemplateViewController::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    selectFirstTemplateIfNone();
}

void TemplateViewController::reloadCategories()
{
    const QSignalBlocker blocker(m_tableView);
    m_tableView->clear();
    m_tableView->addItem(allCategoriesTitle);
    m_tableView->addItems(categoryNames());
    m_tableView->setCurrentRow(0);
    reloadGrid();
}

void TemplateViewController::reloadGrid()
{
    const std::optional<QUrl> previous = selectedTemplateUrl();
    m_gridModel->clear();
    const int row = m_tableView->currentRow();
    const QStringList categories = categoryNames();
    if (row <= 0) {
        for (const QString& category : categories) {
            auto* header = new QStandardItem(category);
            header->setData(true, TemplateCollectionViewItem::SectionHeaderRole);
            header->setFlags(Qt::NoItemFlags);
            m_gridModel->appendRow(header);
            appendTemplates(m_templates.value(category));
        }
    } else if (row - 1 < categories.size()) {
        appendTemplates(m_templates.value(categories[row - 1]));
    }
    // The template chosen so far stays chosen when the new grid still shows it.
    if (!previous || !selectTemplate(*previous))
        selectFirstTemplateIfNone();
}

void TemplateViewController::appendTemplates(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        auto* item = new QStandardItem(displayName(url));
        item->setData(url, TemplateCollectionViewItem::TemplateUrlRole);
        auto thumbnail = m_thumbnails.find(url);
        if (thumbnail == m_thumbnails.end())
            thumbnail = m_thumbnails.insert(url, thumbnailForTemplate(url));
        item->setData(*thumbnail, Qt::DecorationRole);
        item->setToolTip(displayName(url));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_gridModel->appendRow(item);
    }
}

void TemplateViewController::selectFirstTemplateIfNone()
{
    if (!m_templateCollectionView->selectionModel()->selectedIndexes().isEmpty())
        return;
    for (int row = 0; row < m_gridModel->rowCount(); ++row) {
        const QModelIndex index = m_gridModel->index(row, 0);
        if (index.flags() & Qt::ItemIsSelectable) {
            m_templateCollectionView->setCurrentIndex(index);
            // With the header of its section in view, when it has one.
            if (row > 0)
                m_templateCollectionView->scrollTo(m_gridModel->index(row - 1, 0));
            m_templateCollectionView->scrollTo(index);
            return;
        }
    }
}
