// The form of a text that find-as-you-type compares: letter case, full- and
// half-width forms and hiragana against katakana all fold to one.
#pragma once

#include <QString>

namespace qv {

// Compatibility-composed (full-width Latin and digits become plain ones,
// half-width katakana full-width with their sound marks joined), case-folded,
// and hiragana turned to katakana. A query and a name folded so match where a
// listener would say they are the same words.
QString FoldForFind(const QString& text);

}  // namespace qv
