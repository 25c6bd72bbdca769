// Keyboard mnemonics for a menu's texts: the "&" letters a menu shows underlined.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varno::session {

// The letter a text's "&" marks, lower case; 0 when it has none ("&&" is a plain "&").
char mnemonicOf(std::string_view text);

// The texts of one menu (or of the menu bar) with a mnemonic on each that has
// none: the first letter or digit not yet taken in the menu, preferring the
// starts of words. A text that already has one keeps it, unless an earlier
// text of the menu has the same letter: then it is given a free one too, so no
// letter opens two items (when none is free it keeps its own). A text whose
// every letter is taken is left without.
// Only the part before a tab counts.
std::vector<std::string> withMnemonics(std::span<const std::string_view> texts);

} // namespace varno::session
