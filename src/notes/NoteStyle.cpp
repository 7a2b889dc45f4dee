#include "NoteStyle.h"

#include <QGuiApplication>

QString NoteStyle::styleName(Kind kind)
{
    switch (kind) {
    case Title:
        return QStringLiteral("title");
    case Header:
        return QStringLiteral("header");
    case Body:
        return QStringLiteral("body");
    case Checklist:
        break;
    }
    return {};
}

RichText::Attributes NoteStyle::attributes(Kind kind)
{
    RichText::Attributes attributes;
    if (kind == Checklist)
        attributes.checklistChecked = false;
    else
        attributes.styleName = styleName(kind);
    return attributes;
}

QFont NoteStyle::font(Kind kind)
{
    QFont font = QGuiApplication::font();
    switch (kind) {
    case Title:
        font.setPixelSize(17);
        font.setWeight(QFont::Bold);
        break;
    case Header:
        font.setPixelSize(14);
        font.setWeight(QFont::Bold);
        break;
    case Body:
    case Checklist:
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        break;
    }
    return font;
}

QColor NoteStyle::textColour()
{
    return QColor::fromRgbF(0.1f, 0.1f, 0.1f, 1.0f);
}

NoteStyle::Kind NoteStyle::kindOf(const RichText::Attributes& attributes)
{
    if (attributes.styleName == QStringLiteral("title"))
        return Title;
    if (attributes.styleName == QStringLiteral("header"))
        return Header;
    if (!attributes.styleName && attributes.checklistChecked)
        return Checklist;
    return Body;
}

RichText::Attributes NoteStyle::restyled(RichText::Attributes attributes, Kind kind)
{
    const RichText::Attributes style = NoteStyle::attributes(kind);
    attributes.styleName = style.styleName;
    attributes.checklistChecked = style.checklistChecked;
    return attributes;
}

QTextCharFormat NoteStyle::charFormat(const RichText::Attributes& attributes)
{
    QTextCharFormat format;
    format.setFont(font(kindOf(attributes)), QTextCharFormat::FontPropertiesAll);
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
    }
    return format;
}

QTextBlockFormat NoteStyle::blockFormat(const RichText::Attributes& lineStart)
{
    QTextBlockFormat format;
    const Kind kind = kindOf(lineStart);
    if (kind == Body || kind == Checklist) {
        format.setTopMargin(4.0);
        format.setBottomMargin(4.0);
    }
    if (kind == Checklist)
        format.setLeftMargin(checklistIndent);
    return format;
}

RichText::Attributes NoteStyle::attributes(const QTextCharFormat& format)
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
