#include "InfoViewController.h"

#include "BackgroundImage.h"
#include "ChangeBackgroundCommand.h"
#include "ChangeColourCommand.h"
#include "ColourCircleButton.h"
#include "InfoBGPictCollectionViewItem.h"
#include "Palette.h"
#include "model/Kanban.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"
#include "tags/TagColourTableCell.h"
#include "tags/TagNameTableCell.h"
#include "widgets/MessageBox.h"
#include "widgets/Popover.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

InfoViewController::InfoViewController(DisplayItem* item, QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_item(item)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setAccessibleName(tr("Appearance"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(heading(tr("Colour"), this));
    layout->addWidget(colourRow());
    layout->addWidget(heading(tr("Background Image"), this));
    buildPictureCollection();
    layout->addWidget(m_pictures);
    m_customPicture = new QPushButton(tr("Choose Picture…"), this);
    m_customPicture->setAutoDefault(false);
    connect(m_customPicture, &QPushButton::clicked, this,
            &InfoViewController::chooseCustomImageSelected);
    layout->addWidget(m_customPicture, 0, Qt::AlignLeft);
    buildTagTable();
    layout->addWidget(m_tagsTitle);
    layout->addWidget(m_tagTable);
    showSelection();

    // Undo and redo change the item behind the popover's back.
    const auto follow = [this](const NotificationCenter::Notification& n) {
        if (n.sender == m_item)
            showSelection();
    };
    NotificationCenter::defaultCenter().addObserver(this, QStringLiteral("BackgroundChanged"),
                                                    follow);
}

InfoViewController::~InfoViewController() = default;

InfoViewController* InfoViewController::popUp(QWidget* anchor, DisplayItem* item)
{
    auto* info = new InfoViewController(item, anchor);
    info->setAttribute(Qt::WA_DeleteOnClose);
    Popover::showBelow(info, anchor);
    return info;
}

QString InfoViewController::imageNameFromIndex(int index, bool thumb)
{
    return BackgroundImage::imageNameFromIndex(index, thumb);
}

QWidget* InfoViewController::colourRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int colour = 0; colour < Palette::count; ++colour) {
        auto* button = new ColourCircleButton(colour, row);
        connect(button, &QAbstractButton::clicked, this,
                [this, colour] { colourButtonSelected(colour); });
        layout->addWidget(button);
        m_colourButtons.append(button);
    }
    layout->addStretch(1);
    return row;
}

void InfoViewController::buildPictureCollection()
{
    m_pictures = new QListWidget(this);
    m_pictures->setViewMode(QListView::IconMode);
    m_pictures->setMovement(QListView::Static);
    m_pictures->setResizeMode(QListView::Adjust);
    m_pictures->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pictures->setItemDelegate(new InfoBGPictCollectionViewItem(m_pictures));
    m_pictures->setAccessibleName(tr("Background pictures"));
    for (int number = 1; number <= BackgroundImage::builtInCount; ++number) {
        auto* picture = new QListWidgetItem(m_pictures);
        picture->setIcon(QIcon(BackgroundImage::resourcePath(imageNameFromIndex(number, true))));
        picture->setData(Qt::UserRole, imageNameFromIndex(number, false));
        picture->setData(Qt::AccessibleTextRole, tr("Background %1").arg(number));
    }
    // Eight thumbnails a row, four rows in sight.
    const int cell = InfoBGPictCollectionViewItem::thumbnailSize + 6;
    m_pictures->setMinimumSize(8 * cell + 24, 4 * cell + 4);
    connect(m_pictures, &QListWidget::itemClicked, this, [this](QListWidgetItem* picture) {
        backgroundSelectedWithImageName(picture->data(Qt::UserRole).toString());
    });
    connect(m_pictures, &QListWidget::itemActivated, this, [this](QListWidgetItem* picture) {
        backgroundSelectedWithImageName(picture->data(Qt::UserRole).toString());
    });
}

void InfoViewController::buildTagTable()
{
    m_tagsTitle = heading(tr("Tags"), this);
    m_tagTable = new QTableWidget(this);
    m_tagTable->setColumnCount(2);
    m_tagTable->horizontalHeader()->hide();
    m_tagTable->verticalHeader()->hide();
    m_tagTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tagTable->horizontalHeader()->setStretchLastSection(true);
    m_tagTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_tagTable->setAccessibleName(tr("Tags"));
    const auto* board =
        m_item && m_item->isKindOf(Entity::Kanban) ? static_cast<const Kanban*>(m_item) : nullptr;
    QList<Tag*> tags;
    if (board) {
        for (Tag* tag : board->tags()) {
            if (!tag->isDeleted())
                tags.append(tag);
        }
    }
    m_tagTable->setRowCount(int(tags.size()));
    for (int row = 0; row < tags.size(); ++row) {
        auto* colour = new TagColourTableCell(m_tagTable);
        colour->setObjectValue(tags.at(row));
        m_tagTable->setCellWidget(row, 0, colour);
        auto* name = new TagNameTableCell(m_tagTable);
        name->setObjectValue(tags.at(row));
        m_tagTable->setCellWidget(row, 1, name);
    }
    m_tagTable->setMaximumHeight(std::min(6, int(tags.size())) * 30 + 4);
    m_tagsTitle->setVisible(!tags.isEmpty());
    m_tagTable->setVisible(!tags.isEmpty());
}

void InfoViewController::showSelection()
{
    if (!m_item || m_item->isDeleted())
        return;
    for (ColourCircleButton* button : std::as_const(m_colourButtons))
        button->setState(button->tag() == m_item->colour() ? 1 : 0);
    const QString name = BackgroundImage::effectiveName(m_item->bgImage());
    m_pictures->clearSelection();
    for (int row = 0; row < m_pictures->count(); ++row) {
        QListWidgetItem* picture = m_pictures->item(row);
        if (picture->data(Qt::UserRole).toString() == name) {
            picture->setSelected(true);
            m_pictures->setCurrentItem(picture);
        }
    }
}

void InfoViewController::backgroundSelectedWithImageName(const QString& name)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_item || m_item->isDeleted() || !stack)
        return;
    if (BackgroundImage::effectiveName(m_item->bgImage()) != name)
        stack->push(new ChangeBackgroundCommand(m_item, name));
    showSelection();
}

void InfoViewController::colourButtonSelected(int colour)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_item || m_item->isDeleted() || !stack)
        return;
    if (m_item->colour() != colour)
        stack->push(new ChangeColourCommand(m_item, qint16(colour)));
    showSelection();
}

void InfoViewController::chooseCustomImageSelected()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) {
        qWarning("Could not get photos directory");
        return;
    }
    // The popover closes when the panel takes the focus; the panel belongs to the window.
    QWidget* window = parentWidget() ? parentWidget()->window() : nullptr;
    const QString path =
        QFileDialog::getOpenFileName(window, QString::fromLatin1(choosePictureMessage), pictures,
                                     tr("Pictures (*.jpeg *.jpg *.png *.JPEG *.JPG *.PNG)"));
    if (!path.isEmpty())
        chooseCustomImageWithPath(path);
}

bool InfoViewController::chooseCustomImageWithPath(const QString& path)
{
    QUndoStack* stack = AppDelegate::sharedUndoStack();
    if (!m_item || m_item->isDeleted() || !stack)
        return false;
    QString error;
    const std::optional<QString> name = BackgroundImage::importCustomPicture(path, &error);
    if (!name) {
        MessageBox::critical(parentWidget() ? parentWidget()->window() : this,
                             tr("The picture cannot be used as a background."), error);
        return false;
    }
    if (m_item->bgImage() != *name)
        stack->push(new ChangeBackgroundCommand(m_item, *name));
    else // the same name with a new file: the views load it again
        NotificationCenter::defaultCenter().post(QStringLiteral("BackgroundChanged"), m_item);
    showSelection();
    return true;
}
