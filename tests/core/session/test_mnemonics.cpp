// Menu mnemonics: the table's own kept, the rest given a free letter of their menu.
#include <gtest/gtest.h>

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

} // namespace
