// The command table: one id per command, one command per key, the toolbars and the shortcut list.
#include <algorithm>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "session/CommandTable.h"

using namespace varno::session;

TEST(CommandTable, IdsAndKeysAreUnique)
{
    std::set<int> ids;
    std::map<std::string, int> keys;
    for (const Command& c : CommandTable::all()) {
        EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
        if (!c.key.empty()) {
            // Two commands on one key would make the key do nothing at all.
            auto [it, fresh] = keys.emplace(std::string(c.key), c.id);
            EXPECT_TRUE(fresh) << "key " << c.key << " on " << it->second << " and " << c.id;
        }
    }
}

TEST(CommandTable, PairedKeysAreNotSwapped)
{
    // Keys that come in pairs (in and out, start and stop, two sizes) are the easy ones to cross.
    std::map<std::string, int> bound;
    for (const Command& c : CommandTable::all())
        bound[std::string(c.key)] = c.id;
    EXPECT_EQ(bound["+"], 32822);
    EXPECT_EQ(bound["-"], 32821);
    EXPECT_EQ(bound["Num+"], 32815);
    EXPECT_EQ(bound["Num-"], 32816);
    EXPECT_EQ(bound["S"], cmd::KeyStartS);
    EXPECT_EQ(bound["E"], cmd::KeyStopE);
    EXPECT_EQ(bound["6"], cmd::Key800x600);
    EXPECT_EQ(bound["7"], cmd::Key800x700);
}

TEST(CommandTable, ToolbarButtonsAreCommandsWithPrompts)
{
    const std::vector<int> varno(CommandTable::varnoToolbar().begin(), CommandTable::varnoToolbar().end());
    EXPECT_EQ(varno, (std::vector<int>{32804, 32805, 0, 32806, 32807, 32808, 32811, 32812, 32818, 32824}));
    for (int id : varno) {
        if (id == 0)
            continue;
        auto c = CommandTable::find(id);
        ASSERT_TRUE(c) << id;
        EXPECT_FALSE(c->prompt.empty()) << id;
        EXPECT_EQ(c->menu, Menu::None) << id;
    }
    for (int id : CommandTable::fileToolbar())
        EXPECT_NE(CommandTable::find(id)->menu, Menu::None) << id;
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
