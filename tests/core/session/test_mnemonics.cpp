// Menu mnemonics: the table's own kept, the rest given a free letter of their menu.
#include <gtest/gtest.h>

#include <set>

#include "session/CommandTable.h"
#include "session/Mnemonics.h"

using namespace varno::session;

namespace {

TEST(Mnemonics, FreeLettersAreGivenAndOwnOnesKept)
{
    struct Case {
        const char* name;
        std::vector<std::string_view> in;
        std::vector<std::string> out;
    } cases[] = {
        {"word starts first",
         {"Route Points List", "Route Picker (R)"},
         {"&Route Points List", "Route &Picker (R)"}},
        {"own letters are taken first", {"Test", "&Trail"}, {"T&est", "&Trail"}},
        {"an escaped ampersand is no mnemonic", {"Save && go"}, {"&Save && go"}},
        {"the shown key after a tab is not a candidate", {"ab\tX", "b"}, {"&ab\tX", "&b"}},
        {"letters besides the mnemonic stay free", {"&ab", "ba"}, {"&ab", "&ba"}},
        {"all taken", {"&a", "&b", "ab"}, {"&a", "&b", "ab"}},
        {"case does not matter", {"&View", "video"}, {"&View", "v&ideo"}},
        {"a repeated own letter moves, the first keeps it",
         {"&Camera Map", "&Compass", "&Open"},
         {"&Camera Map", "Co&mpass", "&Open"}},
        {"an earlier text gives up its letter to one that has no other", {"ab", "a"}, {"a&b", "&a"}},
        {"a repeat with no free letter keeps its own", {"&ab", "&ab", "b"}, {"&ab", "&ab", "&b"}},
        {"a moved letter does not take a later own one", {"&ab", "&abc", "&b"}, {"&ab", "ab&c", "&b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(withMnemonics(c.in), c.out);
    }
}

// What the menus show: a mnemonic on every title and every item, no letter
// twice in a menu, and the texts otherwise as the table has them. The Tracks
// menu has more items than free letters: its one repeat is the table's own.
TEST(Mnemonics, EveryMenuOfTheTableGetsThem)
{
    std::vector<std::string_view> titles;
    for (Menu m : CommandTable::menuBar())
        titles.push_back(CommandTable::menuTitle(m));
    std::set<char> titleLetters;
    for (const std::string& t : withMnemonics(titles)) {
        EXPECT_NE(mnemonicOf(t), 0) << t;
        EXPECT_TRUE(titleLetters.insert(mnemonicOf(t)).second) << t;
    }
    for (Menu m : CommandTable::menuBar()) {
        std::vector<std::string_view> texts;
        for (const Command& c : CommandTable::menuItems(m))
            texts.push_back(c.text);
        const auto shown = withMnemonics(texts);
        std::set<char> letters;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const char k = mnemonicOf(shown[i]);
            EXPECT_TRUE(k != 0 && (letters.insert(k).second || shown[i] == "Save &editted track"))
                << "menu " << CommandTable::menuTitle(m) << ": " << shown[i];
            auto bare = [](std::string s) {
                if (const auto at = s.find('&'); at != std::string::npos)
                    s.erase(at, 1);
                return s;
            };
            EXPECT_EQ(bare(shown[i]), bare(std::string(texts[i])));
        }
    }
}

} // namespace
