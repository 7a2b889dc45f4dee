#pragma once

#include "NoteStyle.h"
#include "RichText.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

// The note styles as Qt text formats, and the custom format properties that carry what the
// rich text means, so that converting to a QTextDocument and back loses nothing. Needs Qt GUI
// but no widgets.
//
// Sizes are device-independent pixels: the styles' 17, 14 and 12 as point sizes would be a
// third larger than the rest of a card at 96 dpi.
class NoteFormat final
{
public:
    NoteFormat() = delete;

    // Custom properties of character formats.
    static constexpr int styleNameProperty = QTextFormat::UserProperty + 1;          // QString
    static constexpr int checklistProperty = QTextFormat::UserProperty + 2;          // bool
    static constexpr int strikethroughProperty = QTextFormat::UserProperty + 3;      // int, 0 none
    static constexpr int attachmentTypeProperty = QTextFormat::UserProperty + 4;     // QString
    static constexpr int attachmentContentsProperty = QTextFormat::UserProperty + 5; // bytes
    // The object type of attachment characters, drawn by the notes' own handler.
    static constexpr int attachmentObjectType = QTextFormat::UserObject + 1;

    static constexpr qreal notePadding = 10.0;  // left and right of the text
    static constexpr qreal verticalInset = 5.0; // above and below the text
    static constexpr qreal checklistIndent = 24.0;

    static QFont font(NoteStyle::Kind kind);
    static QColor textColour();

    static QTextCharFormat charFormat(const RichText::Attributes& attributes);
    static QTextBlockFormat blockFormat(const RichText::Attributes& lineStart);
    static RichText::Attributes attributes(const QTextCharFormat& format);
    // The format less its attachment: what text typed next to an attachment takes.
    static QTextCharFormat withoutAttachment(QTextCharFormat format);
    static bool hasAttachment(const QTextFormat& format)
    {
        return format.hasProperty(attachmentTypeProperty);
    }
};
