#include "NoteStyle.h"

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

std::optional<NoteStyle::Kind> NoteStyle::kindNamed(const QString& name)
{
    for (const Kind kind : {Title, Header, Body}) {
        if (name == styleName(kind))
            return kind;
    }
    return std::nullopt;
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
