// Reading and writing registry export files: what is accepted, what is refused, what survives a rewrite.
#include <gtest/gtest.h>

#include "core/base/ScratchFiles.h"
#include "settings/RegDocument.h"

namespace varno::settings {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\VARNO";

RegDocument parseOk(std::string_view bytes)
{
    auto r = RegDocument::parse(bytes);
    EXPECT_TRUE(r.document) << r.error;
    return r.document ? std::move(*r.document) : RegDocument{};
}

TEST(RegDocument, ReadsAWindowsExportInUtf16AndRewritesItAsRegedit4)
{
    auto bytes = test::readBytes(std::string(VARNO_TEST_DATA_DIR) + "/settings/windows_export_utf16.reg");
    ASSERT_FALSE(bytes.empty());
    RegDocument doc = parseOk(bytes);
    EXPECT_EQ(doc.get(kKey, "MapScale"), Value::dword(4000));
    // Non-ASCII text arrives as UTF-8, escaped quotes unescaped.
    EXPECT_EQ(doc.get(kKey, "RouteName"),
              Value::sz("C:\\VARNO\\Route\\M\xC3\xBCnchen \xE2\x80\x93 K\xC3\xB6ln \"A3\".txt"));
    // The default value has an empty name; other types keep their data, continuation joined.
    EXPECT_EQ(doc.get(kKey, ""), Value::sz("Einstellungen"));
    auto other = doc.get(kKey, "lastpath");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->type, ValueType::Other);
    EXPECT_EQ(other->text,
              "hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,00,00");

    // Rewritten as REGEDIT4 with CR LF, it reads back the same.
    std::string out = doc.format();
    EXPECT_EQ(out.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\VARNO]\r\n@=\"Einstellungen\"\r\n", 0),
              0u);
    EXPECT_NE(out.find("\"RouteName\"=\"C:\\\\VARNO\\\\Route\\\\M\xC3\xBCnchen \xE2\x80\x93 K\xC3\xB6ln "
                       "\\\"A3\\\".txt\"\r\n"),
              std::string::npos);
    for (size_t i = out.find('\n'); i != std::string::npos; i = out.find('\n', i + 1))
        ASSERT_EQ(out[i - 1], '\r');
    EXPECT_EQ(parseOk(out).format(), out);
}

TEST(RegDocument, AcceptsTheLooseFormsOfAHandEditedFile)
{
    RegDocument doc =
        parseOk("\xEF\xBB\xBF\n\nregedit4\n; my settings\n[HKEY_CURRENT_USER\\Software\\VARNO\\]\n"
                "\"A\" = \"x\"  \n\"B\"=DWORD:1F\r\n\"C\"=\"tab\\there\"\r\"D\"=hex:\n\n");
    EXPECT_EQ(doc.get(kKey, "a"), Value::sz("x"));
    EXPECT_EQ(doc.get(kKey, "B"), Value::dword(0x1f));
    EXPECT_EQ(doc.get(kKey, "C"), Value::sz("tab\\there")); // unknown escapes are kept as written
    EXPECT_EQ(doc.get(kKey, "D"), (Value{ValueType::Other, "hex:", 0}));
    // Nothing at all is an empty store, not a broken one.
    EXPECT_TRUE(RegDocument::parse("").document);
    EXPECT_TRUE(RegDocument::parse("\xFF\xFE").document);
}

TEST(RegDocument, AppliesDeletionsAndLaterLinesAsAnImportWould)
{
    RegDocument doc = parseOk("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n\"V\"=\"1\"\n"
                              "[HKEY_CURRENT_USER\\Software\\VARNO\\POIFiles]\n\"P\"=\"p\"\n"
                              "[HKEY_CURRENT_USER\\Software\\Other]\n"
                              "\"A\"=\"1\"\n\"B\"=\"2\"\n\"a\"=\"3\"\n\"B\"=-\n"
                              "[-HKEY_CURRENT_USER\\Software\\varno]\n\"Ignored\"=\"x\"\n");
    EXPECT_FALSE(doc.hasKey(kKey));
    EXPECT_FALSE(doc.hasKey(std::string(kKey) + "\\POIFiles"));
    EXPECT_TRUE(doc.hasKey("HKEY_CURRENT_USER\\Software")); // a key below it exists
    auto v = doc.values("HKEY_CURRENT_USER\\Software\\Other");
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].name, "A"); // first spelling and place kept, last value wins
    EXPECT_EQ(v[0].value, Value::sz("3"));
}

TEST(RegDocument, RefusesGarbledFiles)
{
    const std::string head = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"binary junk", std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0",
                                    10)},
        {"no header", "[HKEY_CURRENT_USER\\Software\\VARNO]\n\"Port\"=\"Com1\"\n"},
        {"wrong header", "REGEDIT5\n"},
        {"NUL byte", head + std::string("\"Port\"=\"Co\0m1\"\n", 15)},
        {"truncated string", head + "\"Port\"=\"Com1\n"},
        {"truncated name", head + "\"Po"},
        {"text after string", head + "\"Port\"=\"Com1\" x\n"},
        {"junk line", head + "Port=Com1\n"},
        {"value before key", "REGEDIT4\n\"Port\"=\"Com1\"\n"},
        {"bad dword", head + "\"A\"=dword:123456789\n"},
        {"dword junk", head + "\"A\"=dword:12z\n"},
        {"empty dword", head + "\"A\"=dword:\n"},
        {"unknown type", head + "\"A\"=qword:1\n"},
        {"bad hex", head + "\"A\"=hex:1,zz\n"},
        {"ends inside hex", head + "\"A\"=hex:01,02,\\\n"},
        {"unterminated key", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO\n"},
        {"empty key", "REGEDIT4\n[]\n"},
        {"UTF-16 odd length", std::string("\xFF\xFER\0E\0G", 7)},
        {"UTF-16 lone surrogate", std::string("\xFF\xFE\x00\xD8R\0", 6)},
        {"UTF-16 NUL", std::string("\xFF\xFER\0\0\0", 6)},
        {"UTF-16 big endian", std::string("\xFE\xFF\0R", 4)},
    };
    for (const auto& [what, bytes] : cases) {
        auto r = RegDocument::parse(bytes);
        EXPECT_FALSE(r.document) << what;
        EXPECT_FALSE(r.error.empty()) << what;
    }
}

TEST(RegDocument, ManyValuesAndKeysStayCheap)
{
    // Adding, replacing and deleting tens of thousands of values must not go quadratic.
    std::string text = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\VARNO]\n";
    for (int i = 0; i < 40000; ++i)
        text += "\"V" + std::to_string(i) + "\"=dword:1\n";
    for (int i = 0; i < 40000; i += 2)
        text += "\"v" + std::to_string(i) + "\"=-\n";
    for (int i = 0; i < 20000; ++i)
        text += "[-HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\n";
    RegDocument doc = parseOk(text);
    EXPECT_EQ(doc.values(kKey).size(), 20000u);
    EXPECT_EQ(doc.values(kKey).front().name, "V1");
}

} // namespace
} // namespace varno::settings
