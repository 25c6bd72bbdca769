// The command table: one id per command, one command per key, the toolbars and the shortcut list.
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "session/CommandTable.h"

using namespace varno::session;

TEST(CommandTable, NumbersAndKeysAreUnique)
{
    std::set<int> numbers;
    std::map<std::string, int> keys;
    for (const Command& c : CommandTable::all()) {
        EXPECT_TRUE(numbers.insert(c.number).second) << "number " << c.number << " twice";
        if (!c.key.empty()) {
            // Two commands on one key would make the key do nothing at all.
            auto [it, fresh] = keys.emplace(std::string(c.key), c.number);
            EXPECT_TRUE(fresh) << "key " << c.key << " on " << it->second << " and " << c.number;
        }
    }
}

TEST(CommandTable, PairedKeysAreNotSwapped)
{
    // Keys that come in pairs (in and out, start and stop, two sizes) are the easy ones to cross.
    std::map<std::string, CommandId> bound;
    for (const Command& c : CommandTable::all())
        bound[std::string(c.key)] = c.id;
    EXPECT_EQ(bound["+"], CommandId::KeyZoomInPlus);
    EXPECT_EQ(bound["-"], CommandId::KeyZoomOutMinus);
    EXPECT_EQ(bound["Num+"], CommandId::KeyZoomInNum);
    EXPECT_EQ(bound["Num-"], CommandId::KeyZoomOutNum);
    EXPECT_EQ(bound["S"], CommandId::KeyStartS);
    EXPECT_EQ(bound["E"], CommandId::KeyStopE);
    EXPECT_EQ(bound["6"], CommandId::Key800x600);
    EXPECT_EQ(bound["7"], CommandId::Key800x700);
}

TEST(CommandTable, ToolbarButtonsAreCommandsWithPrompts)
{
    const auto varno = CommandTable::varnoToolbar();
    ASSERT_EQ(varno.size(), 10u);
    EXPECT_FALSE(varno[2]) << "the separator after Start and Stop";
    for (const auto& id : varno) {
        if (!id)
            continue;
        const Command& c = CommandTable::find(*id);
        EXPECT_FALSE(c.prompt.empty()) << c.number;
        EXPECT_EQ(c.menu, Menu::None) << c.number;
    }
    for (CommandId id : CommandTable::fileToolbar())
        EXPECT_NE(CommandTable::find(id).menu, Menu::None) << CommandTable::find(id).number;
}

TEST(CommandTable, ShortcutListHasItsRowsAndEveryKeyInItIsBound)
{
    const auto rows = CommandTable::shortcutRows();
    ASSERT_EQ(rows.size(), 27u);
    EXPECT_EQ(rows[12].key, "+ (Plus)");

    // The list tells the user about keys; each must really do something.
    std::set<std::string> bound;
    for (const Command& c : CommandTable::all())
        bound.insert(std::string(c.key));
    auto normalise = [](std::string_view k) {
        std::string s(k);
        if (auto p = s.find(" ("); p != std::string::npos)
            s.erase(p);
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
        return s.empty() ? std::string("Space") : s;
    };
    for (const ShortcutRow& r : rows) {
        if (!r.functionKey.empty()) {
            EXPECT_TRUE(bound.count(std::string(r.functionKey))) << r.function;
        }
        if (!r.key.empty()) {
            EXPECT_TRUE(bound.count(normalise(r.key))) << r.function << " " << r.key;
        }
    }
}
