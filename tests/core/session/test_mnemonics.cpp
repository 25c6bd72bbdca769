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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(withMnemonics(c.in), c.out);
    }
}

// What the menus show: a mnemonic on every title and every item; the ones
// given never repeat a letter already used in the same menu.
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
        std::multiset<char> own;
        for (const Command& c : CommandTable::menuItems(m)) {
            texts.push_back(c.text);
            if (char k = mnemonicOf(c.text))
                own.insert(k);
        }
        const auto shown = withMnemonics(texts);
        std::multiset<char> letters;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_NE(mnemonicOf(shown[i]), 0) << shown[i];
            // The table's texts change only by the added "&".
            std::string bare = shown[i];
            if (mnemonicOf(texts[i]) == 0)
                bare.erase(bare.find('&'), 1);
            EXPECT_EQ(bare, texts[i]);
            letters.insert(mnemonicOf(shown[i]));
        }
        // Only the table's own may repeat.
        for (char k : letters) {
            if (letters.count(k) > 1) {
                EXPECT_EQ(letters.count(k), own.count(k))
                    << "menu " << CommandTable::menuTitle(m) << " '" << k << "'";
            }
        }
    }
}

} // namespace
