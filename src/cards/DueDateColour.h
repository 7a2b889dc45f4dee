#pragma once

#include <QColor>

class ListItem;

// The colour of a card's due-date pill, tested in this order: done (light grey), overdue
// (#DF6969), due soon by the user's definition (#F6A623), any other due date (#797979), no due
// date (the card background colour).
QColor dueDateColour(const ListItem& item);
