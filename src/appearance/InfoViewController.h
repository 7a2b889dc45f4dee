#pragma once

#include <QFrame>
#include <QPointer>

class ColourCircleButton;
class DisplayItem;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// The item information popover of the board or list shown: its colour, its background picture
// (the 46 built-in ones or a picture of the user's own) and, for a board, the table of its tags
// where they are renamed and recoloured. Every change is undoable.
class InfoViewController final : public QFrame
{
    Q_OBJECT

public:
    static constexpr auto choosePictureMessage =
        "Choose a picture you want to use as your background";

    explicit InfoViewController(DisplayItem* item, QWidget* parent = nullptr);
    ~InfoViewController() override;

    // Shows the popover for the item under the anchor; it deletes itself when closed.
    static InfoViewController* popUp(QWidget* anchor, DisplayItem* item);

    DisplayItem* item() const { return m_item; }

    // Picture number n counts from 1.
    static QString imageNameFromIndex(int index, bool thumb);
    void backgroundSelectedWithImageName(const QString& name);
    // Asks for a picture of the user's own, then takes it.
    void chooseCustomImageSelected();
    // Copies the file into the pictures folder and shows it; a file that is no picture, or one
    // that cannot be copied, is refused with a message and nothing changes.
    bool chooseCustomImageWithPath(const QString& path);
    void colourButtonSelected(int colour);

    QListWidget* pictureCollection() const { return m_pictures; }
    const QList<ColourCircleButton*>& colourButtons() const { return m_colourButtons; }
    QTableWidget* tagTable() const { return m_tagTable; }
    QPushButton* customPictureButton() const { return m_customPicture; }

private:
    QWidget* colourRow();
    void buildPictureCollection();
    void buildTagTable();
    void showSelection();

    DisplayItem* m_item;
    QList<ColourCircleButton*> m_colourButtons;
    QListWidget* m_pictures = nullptr;
    QPushButton* m_customPicture = nullptr;
    QTableWidget* m_tagTable = nullptr;
    QLabel* m_tagsTitle = nullptr;
};
