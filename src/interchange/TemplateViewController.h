#pragma once

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QListView;
class QListWidget;
class QPushButton;
class QStandardItemModel;
class TemplateViewControllerDelegate;

// The template chooser: the categories of the templates folder on the left ("All" first), a
// grid of their templates on the right, Choose and Cancel below. Choose (or a double click, or
// Return) reports the selected template to the delegate and closes the chooser. Each
// subfolder of the templates folder is a category; each file in it that is not a ".png" is a
// template named by its file name without extension, and a ".png" of that name beside it is
// its thumbnail.
class TemplateViewController final : public QDialog
{
    Q_OBJECT

public:
    static constexpr auto defaultTemplatesDirectory = QLatin1StringView(":/Templates");
    static constexpr auto basicCategory = QLatin1StringView("Basic");
    static constexpr auto allCategoriesTitle = QLatin1StringView("All");
    static constexpr auto untitledName = QLatin1StringView("untitled");
    // A template of this name stands for an empty board.
    static constexpr auto blankTemplateName = QLatin1StringView("blank");

    // Reads the templates at once; a folder that cannot be listed leaves the chooser empty.
    explicit TemplateViewController(QWidget* parent = nullptr,
                                    const QString& templatesDirectory = defaultTemplatesDirectory);

    // Opens the chooser as a window-modal sheet on window. It deletes itself when closed.
    static TemplateViewController* openSheet(QWidget* window,
                                             TemplateViewControllerDelegate* delegate);

    // Not owned; must outlive the chooser or be reset.
    TemplateViewControllerDelegate* templateDelegate() const { return m_templateDelegate; }
    void setTemplateDelegate(TemplateViewControllerDelegate* delegate)
    {
        m_templateDelegate = delegate;
    }

    QString templatesDirectory() const { return m_templatesDirectory; }
    // Category name → its templates, in file name order with "blank" first.
    const QMap<QString, QList<QUrl>>& templates() const { return m_templates; }
    // Reads the templates folder again and shows what it holds.
    void populateDataSource();

    // "Basic", then every other name in the order given.
    static QStringList sortBasicToFrontWithArray(const QStringList& names);
    // The categories in list order (sorted, "Basic" first); row r + 1 of the list shows entry r.
    QStringList categoryNames() const;

    // The template's display name: its file name without extension, or "untitled".
    static QString displayName(const std::optional<QUrl>& url);
    // The path QFile opens for a template URL (":/…" for a "qrc:" URL).
    static QString filePathForUrl(const QUrl& url);
    static QUrl urlForFilePath(const QString& path);
    // The thumbnail beside the template, or the generic picture when there is none.
    static QImage thumbnailForTemplate(const QUrl& url);
    static QImage genericTemplateImage();

    // The selected template of the grid; nothing when no template is selected.
    std::optional<QUrl> selectedTemplateUrl() const;
    // Selects the template with that URL in the grid, if the grid shows it.
    bool selectTemplate(const QUrl& url);
    // Selects a category row (0 is "All") and shows its templates.
    void selectCategory(int row);

    // Closes the chooser, then reports the selected template to the delegate. With nothing
    // selected it reports nothing.
    void chooseButtonClicked();

    QListWidget* tableView() const { return m_tableView; }
    QListView* templateCollectionView() const { return m_templateCollectionView; }
    QPushButton* chooseButton() const { return m_chooseButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reloadCategories();
    void reloadGrid();
    void selectFirstTemplateIfNone();
    void appendTemplates(const QList<QUrl>& urls);

    QString m_templatesDirectory;
    QMap<QString, QList<QUrl>> m_templates;
    QHash<QUrl, QImage> m_thumbnails; // read once per chooser
    TemplateViewControllerDelegate* m_templateDelegate = nullptr;
    QListWidget* m_tableView = nullptr;
    QListView* m_templateCollectionView = nullptr;
    QStandardItemModel* m_gridModel = nullptr;
    QPushButton* m_chooseButton = nullptr;
};
