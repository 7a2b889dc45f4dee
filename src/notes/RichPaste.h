#pragma once

#include "model/RichText.h"

#include <optional>

// The rule for rich text pasted into a card: pasted into the middle of a line, its first line
// takes that line's attributes from the character before it, and a paste ending inside a line
// gives its last line the attributes of the character after it. Whole pasted lines keep their
// own styles, and every pasted attachment stays itself.
class RichPaste final
{
public:
    RichPaste() = delete;

    // `before` and `after`: the attributes of the characters around the replaced range, when
    // that character is no line feed (the paste starts or ends inside a line).
    static RichText adjusted(RichText pasted, const std::optional<RichText::Attributes>& before,
                             const std::optional<RichText::Attributes>& after);

private:
    static void take(RichText& text, qsizetype from, qsizetype to,
                     const RichText::Attributes& attributes);
};
