#include "TagColourTableCell.h"

#include "appearance/ChangeColourCommand.h"
#include "appearance/Palette.h"
#include "model/Tag.h"
#include "store/AppDelegate.h"
#include "store/NotificationCenter.h"

#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QUndoStack>

TagColourTableCell::TagColourTableCell(QWidget* parent)
    : QToolButton(parent)
    , m_colourPopupMenu(new QMenu(this))
{
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setAccessibleName(tr("Tag colour"));
    setMenu(m_colourPopupMenu);
    setIconSize(QSize(swatchSize, swatchSize));
    // Rebuilt on every opening, so the check mark follows the tag's colour.
    connect(m_colourPopupMenu, &QMenu::aboutToShow, this, &TagColourTableCell::populateMenu);
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("tagValueChanged"), [this](const NotificationCenter::Notification& n) {
            if (m_tag && n.sender == m_tag)
                setIcon(swatch(m_tag->colour()));
        });
}

QIcon TagColourTableCell::swatch(int colour)
{
    QPixmap pixmap(swatchSize * 2, swatchSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = Palette::colour(colour);
    painter.setPen(QPen(Palette::darkerColour(fill), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, swatchSize - 1, swatchSize - 1), 3, 3);
    return QIcon(pixmap);
}

void TagColourTableCell::setObjectValue(Tag* tag)
{
    m_tag = tag;
    setIcon(swatch(tag ? tag->colour() : 0));
    populateMenu();
}

void TagColourTableCell::populateMenu()
{
    m_colourPopupMenu->clear();
    auto* group = new QActionGroup(m_colourPopupMenu);
    for (int colour = 0; colour < Palette::count; ++colour) {
        QAction* item = m_colourPopupMenu->addAction(swatch(colour), QString());
        item->setData(colour);
        item->setCheckable(true);
        item->setToolTip(tr("Colour %1").arg(colour + 1));
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, colour] { colourChanged(colour); });
    }
    const int current = m_tag ? m_tag->colour() : 0;
    const QList<QAction*> items = m_colourPopupMenu->actions();
    items.at(current >= 0 && current < Palette::count ? current : 0)->setChecked(true);
}

void TagColourTableCell::colourChanged(int colour)
{
    if (!m_tag || m_tag->isDeleted() || m_tag->colour() == colour)
        return;
    if (QUndoStack* stack = AppDelegate::sharedUndoStack())
        stack->push(new ChangeColourCommand(m_tag, qint16(colour)));
}
