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

TEST(CommandTable, KeysReachTheCommandsTheyShouldRun)
{
    const std::map<std::string, int> expected = {
        {"Ctrl+O", 57601}, {"Ctrl+S", 57603}, {"Ctrl+P", 57607}, {"S", 32813}, {"E", 32814},
        {"M", 32817},      {"Space", 32820},  {"+", 32822},      {"-", 32821}, {"F4", 32834},
        {"F3", 32835},     {"Num+", 32815},   {"Num-", 32816},   {"V", 32832}, {"F5", 32833},
        {"F6", 32844},     {"F7", 32845},     {"F8", 32846},     {"B", 32907}, {"N", 32911},
        {",", 32912},      {".", 32913},      {"F9", 32858},     {"/", 32919}, {"T", 32899},
        {"F10", 32855},    {"0", 32854},      {"R", 32862},      {"Q", 32848}, {"Z", 32869},
        {"X", 32870},      {"C", 32871},      {"Esc", 32874},    {"4", 32837}, {"6", 32838},
        {"7", 32839}};
    std::map<std::string, int> bound;
    for (const Command& c : CommandTable::all()) {
        if (!c.key.empty())
            bound[std::string(c.key)] = c.id;
    }
    EXPECT_EQ(bound, expected);
}

TEST(CommandTable, MenusHoldTheirItemsInOrder)
{
    const auto view = CommandTable::menuItems(Menu::View);
    ASSERT_EQ(view.size(), 10u);
    EXPECT_EQ(view[0].text, "&Toolbar");
    EXPECT_EQ(view[3].text, "&Camera Map");
    EXPECT_EQ(view[3].prompt, "Switches to camera map view.");
    EXPECT_EQ(view[9].text, "Track &Editor");

    const auto run = CommandTable::menuItems(Menu::Run);
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[0].id, 32782);
    EXPECT_EQ(run[1].text, "Sto&p");

    const auto test = CommandTable::menuItems(Menu::Test);
    EXPECT_EQ(test[1].text, "Check Registry");
    EXPECT_EQ(test[1].prompt, "Creates any missing registry entries and set all entries to defaults");

    EXPECT_TRUE(CommandTable::menuItems(Menu::None).empty());
    EXPECT_EQ(CommandTable::menuBar().size(), 10u);
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
    EXPECT_EQ(CommandTable::find(32811)->prompt, "Use day time colours");
    EXPECT_EQ(CommandTable::find(32818)->prompt, "Sets window size to 800 * 600");
    for (int id : CommandTable::fileToolbar())
        EXPECT_NE(CommandTable::find(id)->menu, Menu::None) << id;
}

TEST(CommandTable, ShortcutListHasItsRowsAndEveryKeyInItIsBound)
{
    const auto rows = CommandTable::shortcutRows();
    ASSERT_EQ(rows.size(), 27u);
    EXPECT_EQ(rows.front().function, "Route Town mode");
    EXPECT_EQ(rows.front().notes, "Announces at 500m and 150m before route point.");
    EXPECT_EQ(rows[12].key, "+ (Plus)");
    EXPECT_EQ(rows.back().function, "Route pick list");

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

TEST(CommandTable, SizeCommandsGiveTheirRectangles)
{
    auto r = CommandTable::sizeCommandRect(cmd::Scr800x600);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->left, 10);
    EXPECT_EQ(r->top, 10);
    EXPECT_EQ(r->right, 790);
    EXPECT_EQ(r->bottom, 590);
    EXPECT_EQ(CommandTable::sizeCommandRect(cmd::Key800x700)->bottom, 690);
    EXPECT_EQ(CommandTable::sizeCommandRect(cmd::Key600x480)->right, 590);
    EXPECT_EQ(CommandTable::sizeCommandRect(cmd::Tool800x600)->right, 790);
    EXPECT_FALSE(CommandTable::sizeCommandRect(cmd::CameraMap));
}
