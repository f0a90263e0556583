// Text of a right-to-left language in the windows that show a whole string
// with a left-to-right base direction (labels, the details box): the Unicode
// embedding marks keep each line of a language row in right-to-left reading
// order, so that a Latin name or a path inside a sentence stays in its place
// and the full stop ends the line on the reader's side.
#pragma once

#include "quellix/ui/Portable.h"

#include <string>

namespace quellix::ui {

constexpr char16_t kLeftToRightEmbedding = u'\x202A';
constexpr char16_t kRightToLeftEmbedding = u'\x202B';
constexpr char16_t kPopDirectionalFormatting = u'\x202C';

// The text as a window shows it (without the row prefixes). In a right-to-left
// language, every non-empty line that belongs to a language row (it holds
// the row prefix, or follows such a line within the same text) is held
// in a right-to-left embedding; the program's fixed English lines are left as
// they read.
std::u16string ShownText(const std::u16string& text, bool rightToLeft);

// Left-to-right text (a failure's own words, a path) inside a right-to-left
// sentence, held together so that its brackets and digits keep their order.
std::u16string EmbedLeftToRight(const std::u16string& text);

}  // namespace quellix::ui
