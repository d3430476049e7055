#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

#include <QString>

#include "platform/RegistryHive.h"

namespace {

// A key without values, one with nothing but subkeys, texts, a dword and bytes.
RegKey sampleTree() {
    RegKey root;
    RegKey& s = root.createKey("Settings");
    s.setValue("MaxFiles", RegValue::dword(300));
    s.setValue("Name", RegValue::text("C:\\Daten \"neu\" Ünïcödé"));
    root.createKey("Patterns")
        .createKey("UserDefined")
        .createKey("Such-/Ersatzmuster")
        .setValue("Blob", RegValue::binary({0x01, 0xab, 0xff}));
    root.createKey("100%");
    root.createKey("MRU SearchFolder").setValue("Folder0", RegValue::text("/home/a"));
    return root;
}

} // namespace

TEST(RegKey, NamesCompareWithoutCaseByUnicodeFolding) {
    // Folding itself is chars::fold's; bytes that are not UTF-8 equal only themselves.
    for (const auto& [a, b, same] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
             {"Ärger", "äRGER", true}, {"Größe", "GRÖSSE", false}, {"a", "a ", false},
             {"\xff", "\xff", true}, {"\xff", "\xfe", false}, {"\xc3\x84", "\xc3", false}}) {
        SCOPED_TRACE(std::string(a) + " vs " + b);
        EXPECT_EQ(SameRegName(a, b), same);
        RegKey root;
        root.createKey(a);
        root.setValue(a, RegValue::dword(1));
        EXPECT_EQ(root.findKey(b) != nullptr, same);
        EXPECT_EQ(root.findValue(b) != nullptr, same);
    }
}

// Names after a removed one are still found where they now stand; a value set under another
// case replaces the old one in its place and keeps its name.
TEST(RegKey, KeepsFirstCaseAndCreationOrder) {
    RegKey root;
    for (const char* name : {"Zeta", "alpha", "Mitte", "ALPHA"})
        root.createKey(name).setValue(name, RegValue::text(name));
    EXPECT_TRUE(root.removeKey("ZETA"));
    EXPECT_FALSE(root.removeKey("zeta"));
    root.createKey("Neu");
    const std::vector<std::string> names{"alpha", "Mitte", "Neu"};
    ASSERT_EQ(root.keyCount(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(root.keyName(i), names[i]);
        EXPECT_EQ(root.findKey(names[i]), &root.key(i)) << names[i];
    }
    const RegKey& alpha = root.key(0);
    ASSERT_EQ(alpha.valueCount(), 1u);
    EXPECT_EQ(alpha.valueName(0), "alpha");
    EXPECT_EQ(alpha.value(0), RegValue::text("ALPHA"));
    RegKey& mitte = root.key(1);
    mitte.setValue("Z", RegValue::dword(3));
    EXPECT_TRUE(mitte.removeValue("mitte"));
    EXPECT_EQ(mitte.findValue("z"), &mitte.value(0));
    EXPECT_EQ(mitte.findValue("Mitte"), nullptr);
}

TEST(HiveText, AcceptsWhatAPersonWouldWrite) {
    // Byte-order mark, CRLF, comments, a repeated section, short and upper-case hex, values
    // before the first key, and no line break after the last line.
    const auto tree = ParseHive("\xEF\xBB\xBFOrvane registry file, format 1\r\n; Voreinstellungen\r\n"
                                "\"Top\"=dword:1\r\n[Settings]\r\n\"MaxFiles\"=dword:FF\r\n[Other]\n"
                                "[settings]\n\"maxfiles\"=dword:0A\n\"Bin\"=hex:\n\nEnd of Orvane registry file");
    ASSERT_TRUE(tree);
    EXPECT_EQ(*tree->findValue("top")->asDword(), 1u);
    const RegKey* s = tree->findKey("SETTINGS");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->valueName(0), "MaxFiles");
    EXPECT_EQ(*s->findValue("MaxFiles")->asDword(), 10u); // the later line wins
    EXPECT_TRUE(s->findValue("Bin")->asBinary()->empty());
    EXPECT_EQ(tree->keyCount(), 2u);
}

TEST(HiveText, EveryNameAndValueRoundTrips) {
    const std::string keyNames[] = {
        "Such-/Ersatzmuster", "a=b", "[x]", "]", "[", "q\"uote", "line\nbreak\r\n", "100%", "%41",
        "Ünïcödé ✓ 😀", " lead and trail ", "\xff\xfe raw \xc3", ";comment-like", "tab\there",
        "\"=dword:1", "End of Orvane registry file", "\x7f"};
    std::vector<std::uint8_t> allBytes(256);
    std::iota(allBytes.begin(), allBytes.end(), 0);
    const std::pair<std::string, RegValue> values[] = {
        {"", RegValue::text("default value")},
        {"zero", RegValue::dword(0)},
        {"max", RegValue::dword(0xffffffffu)},
        {"escapes", RegValue::text("\\ \" \n \r \t \\x41 \\n")},
        {std::string("nul\0inside", 10), RegValue::text(std::string("a\0b", 3))},
        {"not utf-8", RegValue::text("\xff\xc3(\xe2\x82")},
        {"empty text", RegValue::text("")},
        {"empty bytes", RegValue::binary({})},
        {"all bytes", RegValue::binary(allBytes)},
        {"Ünïcödé=\"[x]\"", RegValue::text("End of Orvane registry file")},
    };
    RegKey root;
    RegKey* deep = &root;
    for (const std::string& k : keyNames) {
        RegKey& key = root.createKey(k);
        for (const auto& [name, value] : values)
            key.setValue(name, value);
        deep = &deep->createKey(k);
    }
    for (const auto& [name, value] : values)
        root.setValue(name, value);

    const std::string text = FormatHive(root);
    EXPECT_EQ(QString::fromStdString(text).toStdString(), text) << "not UTF-8";
    std::string problem;
    const auto back = ParseHive(text, &problem);
    ASSERT_TRUE(back) << problem;
    EXPECT_TRUE(*back == root);
    EXPECT_EQ(FormatHive(*back), text);
}

// Cut-off files are covered below; these are whole files with one wrong line.
TEST(HiveText, AnyMalformedLineMakesTheFileDamaged) {
    std::string deepest = "k"; // a key path as deep as the registry allows
    for (std::size_t i = 1; i < kMaxKeyDepth; ++i) deepest += "\\k";
    const std::string head = "Orvane registry file, format 1\n";
    const std::string tail = "\nEnd of Orvane registry file\n";
    const struct {
        const char* name;
        std::string line;
    } cases[] = {
        {"unknown line", "MaxFiles=1\n"},
        {"unclosed key", "[Settings\n"},
        {"empty key line", "[]\n"},
        {"empty key name", "[a\\\\b]\n"},
        {"bad percent escape", "[a%zz]\n"},
        {"short percent escape", "[a%4]\n"},
        {"escaped backslash in key", "[a%5Cb]\n"},
        {"blank instead of equals sign", "\"a\" =dword:1\n"},
        {"unknown type", "\"a\"=qword:1\n"},
        {"dword too long", "\"a\"=dword:100000000\n"},
        {"dword not hex", "\"a\"=dword:-1\n"},
        {"hex trailing comma", "\"a\"=hex:01,\n"},
        {"hex no comma", "\"a\"=hex:0102\n"},
        {"unclosed text", "\"a\"=\"abc\n"},
        {"unclosed name", "\"a=dword:1\n"},
        {"unknown escape", "\"a\"=\"\\q\"\n"},
        {"short \\x", "\"a\"=\"\\x4\"\n"},
        {"text after text", "\"a\"=\"x\"y\n"},
        {"raw NUL", std::string("\"a\"=\"x\0y\"\n", 11)},
        {"not UTF-8", "\"a\"=\"\xe4\"\n"},
        {"not UTF-8 in a comment", "; \xff\n"},
        {"deeper than the registry allows", "[" + deepest + "\\k]\n"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_FALSE(ParseHive(head + c.line + tail, &problem)) << c.name;
        EXPECT_FALSE(problem.empty()) << c.name;
    }
    for (const std::string& text : {std::string(), "[Settings]\n" + tail, "Orvane registry file, format 2\n" + tail,
                                    head + tail + "[S]\n"})
        EXPECT_FALSE(ParseHive(text)) << "no header, a newer format or text after the last line";
    const auto deep = ParseHive(head + "[" + deepest + "]\n" + tail);
    ASSERT_TRUE(deep);
    EXPECT_EQ(ParseHive(FormatHive(*deep)), deep);
}

// The sample's empty key and its keys with nothing but subkeys come back too.
TEST(HiveText, EveryCutOffFileIsDamaged) {
    const std::string text = FormatHive(sampleTree());
    EXPECT_EQ(ParseHive(text), sampleTree());
    // Only the line break after the last line may go.
    for (std::size_t n = 0; n + 1 < text.size(); ++n)
        EXPECT_FALSE(ParseHive(text.substr(0, n))) << "cut at " << n;
    EXPECT_TRUE(ParseHive(text.substr(0, text.size() - 1)));
}
