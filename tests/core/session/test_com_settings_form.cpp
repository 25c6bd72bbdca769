// The Com Settings form: what the dialog shows for stored texts and what OK may store.
#include <gtest/gtest.h>

#include <tuple>

#include "session/ComSettingsForm.h"

using varno::session::ComSettingsFields;
using varno::session::ComSettingsForm;

TEST(ComSettingsForm, ShownValues)
{
    auto f = ComSettingsForm::shown("Com3", "4800", "even", "16", "1.5");
    EXPECT_EQ(std::tuple(f.port, f.speed, f.parity, f.dataBits, f.stopBits),
              std::tuple("Com3", "4800", "Even", "16", "1.5"));

    // Rates the dialog knows although its list does not offer them, and ones it does not recognise.
    for (auto [stored, shown] : {std::pair{"1800", "1800"}, {"7200", "7200"}, {"4801", ""}, {"256000", ""}})
        EXPECT_EQ(ComSettingsForm::shown({}, stored, {}, {}, {}).speed, shown) << stored;
    EXPECT_EQ(ComSettingsForm::shown({}, {}, "Bogus", "4", {}).parity, "");
    EXPECT_EQ(ComSettingsForm::shown({}, {}, {}, "4", {}).dataBits, "");
}

TEST(ComSettingsForm, StoredPortStaysSelectableWhenItIsNotPresent)
{
    EXPECT_EQ(ComSettingsForm::portChoices({"/dev/ttyUSB0"}, std::string("Com1")),
              (std::vector<std::string>{"Com1", "/dev/ttyUSB0"}));
    EXPECT_EQ(ComSettingsForm::portChoices({"/dev/ttyUSB0"}, std::string("/dev/ttyUSB0")),
              (std::vector<std::string>{"/dev/ttyUSB0"}));
    EXPECT_EQ(ComSettingsForm::portChoices({}, std::nullopt), std::vector<std::string>{});
}

TEST(ComSettingsForm, OkStoresTheShownTextsButNeverBlanksASetting)
{
    ComSettingsFields f{"/dev/ttyUSB0", "9600", "ODD", "7", "2"};
    auto out = ComSettingsForm::toStore(f);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0].first.def, varno::settings::keys::Port.def);
    EXPECT_EQ(out[0].second, "/dev/ttyUSB0");
    EXPECT_EQ(out[2].first.def, varno::settings::keys::Parity.def);
    EXPECT_EQ(out[2].second, "ODD");

    // An unrecognised stored speed shows empty; OK must not turn it into "" (0 baud).
    f.speed.clear();
    out = ComSettingsForm::toStore(f);
    ASSERT_EQ(out.size(), 4u);
    for (const auto& [key, text] : out)
        EXPECT_NE(key.def, varno::settings::keys::Speed.def);
}
