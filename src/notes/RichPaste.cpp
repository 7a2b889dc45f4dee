#include "RichPaste.h"

RichText RichPaste::adjusted(RichText pasted, const std::optional<RichText::Attributes>& before,
                             const std::optional<RichText::Attributes>& after)
{
    const QString& text = pasted.text();
    const qsizetype firstFeed = text.indexOf(u'\n');
    if (before)
        take(pasted, 0, firstFeed < 0 ? text.size() : firstFeed + 1, *before);
    const qsizetype lastFeed = text.lastIndexOf(u'\n');
    if (after)
        take(pasted, lastFeed < 0 ? 0 : lastFeed + 1, text.size(), *after);
    return pasted;
}

void RichPaste::take(RichText& text, qsizetype from, qsizetype to,
                     const RichText::Attributes& attributes)
{
    // A neighbouring picture lends its line's style, never itself.
    text.changeAttributes(from, to - from, [&attributes](RichText::Attributes& own) {
        // Every attribute but the attachment.
        own.styleName = attributes.styleName;
        own.checklistChecked = attributes.checklistChecked;
        own.strikethrough = attributes.strikethrough;
    });
}
