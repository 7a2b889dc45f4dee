#include "NoteFormat.h"

#include <QGuiApplication>

QFont NoteFormat::font(NoteStyle::Kind kind)
{
    QFont font = QGuiApplication::font();
    switch (kind) {
    case NoteStyle::Title:
        font.setPixelSize(17);
        font.setWeight(QFont::Bold);
        break;
    case NoteStyle::Header:
        font.setPixelSize(14);
        font.setWeight(QFont::Bold);
        break;
    case NoteStyle::Body:
    case NoteStyle::Checklist:
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        break;
    }
    return font;
}

QColor NoteFormat::textColour()
{
    return QColor::fromRgbF(0.1f, 0.1f, 0.1f, 1.0f);
}

QTextCharFormat NoteFormat::charFormat(const RichText::Attributes& attributes)
{
    QTextCharFormat format;
    format.setFont(font(NoteStyle::kindOf(attributes)), QTextCharFormat::FontPropertiesAll);
    format.setForeground(textColour());
    if (attributes.styleName)
        format.setProperty(styleNameProperty, *attributes.styleName);
    if (attributes.checklistChecked)
        format.setProperty(checklistProperty, *attributes.checklistChecked);
    if (attributes.strikethrough != 0) {
        format.setFontStrikeOut(true);
        format.setProperty(strikethroughProperty, attributes.strikethrough);
    }
    if (attributes.attachment) {
        format.setProperty(attachmentTypeProperty, attributes.attachment->fileType);
        format.setProperty(attachmentContentsProperty, attributes.attachment->contents);
        format.setObjectType(attachmentObjectType);
    }
    return format;
}

QTextBlockFormat NoteFormat::blockFormat(const RichText::Attributes& lineStart)
{
    QTextBlockFormat format;
    const NoteStyle::Kind kind = NoteStyle::kindOf(lineStart);
    if (kind == NoteStyle::Body || kind == NoteStyle::Checklist) {
        format.setTopMargin(4.0);
        format.setBottomMargin(4.0);
    }
    if (kind == NoteStyle::Checklist)
        format.setLeftMargin(checklistIndent);
    return format;
}

RichText::Attributes NoteFormat::attributes(const QTextCharFormat& format)
{
    RichText::Attributes attributes;
    if (format.hasProperty(styleNameProperty))
        attributes.styleName = format.stringProperty(styleNameProperty);
    if (format.hasProperty(checklistProperty))
        attributes.checklistChecked = format.boolProperty(checklistProperty);
    if (format.fontStrikeOut())
        attributes.strikethrough = format.hasProperty(strikethroughProperty)
                                       ? format.intProperty(strikethroughProperty)
                                       : 1;
    if (format.hasProperty(attachmentTypeProperty))
        attributes.attachment =
            RichText::Attachment{format.stringProperty(attachmentTypeProperty),
                                 format.property(attachmentContentsProperty).toByteArray()};
    return attributes;
}

QTextCharFormat NoteFormat::withoutAttachment(QTextCharFormat format)
{
    format.clearProperty(attachmentTypeProperty);
    format.clearProperty(attachmentContentsProperty);
    format.clearProperty(QTextFormat::ObjectType);
    return format;
}
