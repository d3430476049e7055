#include <gtest/gtest.h>

#include "platform/RegistryHive.h"
#include "platform/chars.h"

namespace {

std::vector<std::uint8_t> allBytes() {
    std::vector<std::uint8_t> b;
    for (int i = 0; i < 256; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    return b;
}

bool isValidUtf8(const std::string& s) {
    for (const char* p = s.data(); p < s.data() + s.size();) {
        const chars::Char c = chars::decode(p, s.data() + s.size());
        if (chars::isStray(c.cp)) return false;
        p += c.len;
    }
    return true;
}

std::string deepPath(std::size_t depth) {
    std::string path = "k";
    for (std::size_t i = 1; i < depth; ++i)
        path += "\\k";
    return path;
}

} // namespace

TEST(RegKey, NamesCompareWithoutCaseByUnicodeFolding) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Settings", "SETTINGS", true},
        {"Ärger", "äRGER", true},
        {"K", "\u212A", true},      // Kelvin sign folds to k
        {"Größe", "GRÖSSE", false}, // simple folding: ß is not ss
        {"a", "a ", false},
        {"\xff", "\xff", true},
        {"\xff", "\xfe", false}, // bytes that are not UTF-8 equal only themselves
        {"\xc3\x84", "\xc3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(SameRegName(c.a, c.b), c.same);
        RegKey root;
        root.createKey(c.a);
        root.setValue(c.a, RegValue::dword(1));
        EXPECT_EQ(root.findKey(c.b) != nullptr, c.same);
        EXPECT_EQ(root.findValue(c.b) != nullptr, c.same);
    }
}

TEST(RegKey, KeepsFirstCaseAndCreationOrder) {
    RegKey root;
    root.createKey("Zeta");
    root.createKey("alpha").setValue("X", RegValue::dword(1));
    root.createKey("Mitte");
    EXPECT_EQ(&root.createKey("ALPHA"), root.findKey("alpha")); // opens, does not add
    ASSERT_EQ(root.keyCount(), 3u);
    EXPECT_EQ(root.keyName(1), "alpha");
    EXPECT_TRUE(root.removeKey("ZETA"));
    EXPECT_FALSE(root.removeKey("zeta"));
    root.createKey("Neu");
    std::vector<std::string> names;
    for (std::size_t i = 0; i < root.keyCount(); ++i)
        names.push_back(root.keyName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Mitte", "Neu"}));
    // Names after a removed one are still found where they now stand.
    for (std::size_t i = 0; i < root.keyCount(); ++i)
        EXPECT_EQ(root.findKey(names[i]), &root.key(i)) << names[i];

    RegKey& k = *root.findKey("alpha");
    k.setValue("Y", RegValue::text("t"));
    k.setValue("x", RegValue::text("now text")); // replaces X, keeps its name and place
    ASSERT_EQ(k.valueCount(), 2u);
    EXPECT_EQ(k.valueName(0), "X");
    EXPECT_EQ(k.value(0), RegValue::text("now text"));
    EXPECT_TRUE(k.removeValue("y"));
    EXPECT_EQ(k.valueCount(), 1u);
    k.setValue("Z", RegValue::dword(3));
    EXPECT_TRUE(k.removeValue("X"));
    EXPECT_EQ(k.findValue("z"), &k.value(0));
    EXPECT_EQ(k.findValue("x"), nullptr);
}

TEST(HiveText, IsTheReadableFormAPersonCanEdit) {
    RegKey root;
    RegKey& s = root.createKey("Settings");
    s.setValue("MaxFiles", RegValue::dword(300));
    s.setValue("Name", RegValue::text("C:\\Daten \"neu\""));
    root.createKey("Patterns")
        .createKey("UserDefined")
        .createKey("Such-/Ersatzmuster")
        .setValue("Blob", RegValue::binary({0x01, 0xab, 0xff}));
    root.createKey("100%");
    EXPECT_EQ(FormatHive(root), "Orvane registry file, format 1\n"
                                "\n"
                                "[Settings]\n"
                                "\"MaxFiles\"=dword:0000012c\n"
                                "\"Name\"=\"C:\\\\Daten \\\"neu\\\"\"\n"
                                "\n"
                                "[Patterns\\UserDefined\\Such-/Ersatzmuster]\n"
                                "\"Blob\"=hex:01,ab,ff\n"
                                "\n"
                                "[100%25]\n"
                                "\n"
                                "End of Orvane registry file\n");
}

TEST(HiveText, KeysWithOnlySubkeysKeepTheirPlaceWithoutALine) {
    RegKey root;
    root.createKey("Empty");
    RegKey& a = root.createKey("A");
    a.createKey("A1").createKey("A1x").setValue("v", RegValue::dword(1));
    a.createKey("A2");
    root.createKey("B").setValue("v", RegValue::dword(2));
    const std::string text = FormatHive(root);
    EXPECT_EQ(text.find("[A]"), std::string::npos);
    EXPECT_EQ(text.find("[A\\A1]"), std::string::npos);
    const auto back = ParseHive(text);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == root) << text;
}

TEST(HiveText, AcceptsWhatAPersonWouldWrite) {
    // Byte-order mark, CRLF, comments, a repeated section, short and upper-case hex, values
    // before the first key, and no line break after the last line.
    const auto tree = ParseHive("\xEF\xBB\xBFOrvane registry file, format 1\r\n"
                                "; Voreinstellungen\r\n"
                                "\"Top\"=dword:1\r\n"
                                "[Settings]\r\n"
                                "\"MaxFiles\"=dword:FF\r\n"
                                "[Other]\n"
                                "[settings]\n"
                                "\"maxfiles\"=dword:0A\n"
                                "\"Bin\"=hex:\n"
                                "\n"
                                "End of Orvane registry file");
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
        "Such-/Ersatzmuster",
        "a=b",
        "[x]",
        "]",
        "[",
        "q\"uote",
        "line\nbreak\r\n",
        "100%",
        "%41",
        "Ünïcödé ✓ 😀",
        " lead and trail ",
        "\xff\xfe raw \xc3",
        ";comment-like",
        "tab\there",
        "\"=dword:1",
        "End of Orvane registry file",
        "\x7f",
    };
    const std::pair<std::string, RegValue> values[] = {
        {"", RegValue::text("default value")},
        {"zero", RegValue::dword(0)},
        {"max", RegValue::dword(0xffffffffu)},
        {"escapes", RegValue::text("\\ \" \n \r \t \\x41 \\n")},
        {std::string("nul\0inside", 10), RegValue::text(std::string("a\0b", 3))},
        {"not utf-8", RegValue::text("\xff\xc3(\xe2\x82")},
        {"empty text", RegValue::text("")},
        {"empty bytes", RegValue::binary({})},
        {"all bytes", RegValue::binary(allBytes())},
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
    EXPECT_TRUE(isValidUtf8(text));
    std::string problem;
    const auto back = ParseHive(text, &problem);
    ASSERT_TRUE(back) << problem;
    EXPECT_TRUE(*back == root);
    EXPECT_EQ(FormatHive(*back), text);
}

TEST(HiveText, AnyMalformedLineMakesTheFileDamaged) {
    const std::string head = "Orvane registry file, format 1\n";
    const std::string tail = "\nEnd of Orvane registry file\n";
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"no header", "[Settings]\n" + tail},
        {"newer format", "Orvane registry file, format 2\n" + tail},
        {"header only", head},
        {"cut off after a value", head + "[S]\n\"a\"=dword:1\n"},
        {"text after the last line", head + tail + "[S]\n"},
        {"unknown line", head + "MaxFiles=1\n" + tail},
        {"unclosed key", head + "[Settings\n" + tail},
        {"empty key line", head + "[]\n" + tail},
        {"empty key name", head + "[a\\\\b]\n" + tail},
        {"key ends with separator", head + "[a\\]\n" + tail},
        {"bad percent escape", head + "[a%zz]\n" + tail},
        {"short percent escape", head + "[a%4]\n" + tail},
        {"escaped backslash in key", head + "[a%5Cb]\n" + tail},
        {"no equals sign", head + "\"a\"dword:1\n" + tail},
        {"blank before equals", head + "\"a\" =dword:1\n" + tail},
        {"unquoted name", head + "a=dword:1\n" + tail},
        {"unknown type", head + "\"a\"=qword:1\n" + tail},
        {"dword too long", head + "\"a\"=dword:100000000\n" + tail},
        {"dword empty", head + "\"a\"=dword:\n" + tail},
        {"dword not hex", head + "\"a\"=dword:12g\n" + tail},
        {"dword negative", head + "\"a\"=dword:-1\n" + tail},
        {"hex trailing comma", head + "\"a\"=hex:01,\n" + tail},
        {"hex one digit", head + "\"a\"=hex:1\n" + tail},
        {"hex no comma", head + "\"a\"=hex:0102\n" + tail},
        {"hex blank", head + "\"a\"=hex:01, 02\n" + tail},
        {"unclosed text", head + "\"a\"=\"abc\n" + tail},
        {"unclosed name", head + "\"a=dword:1\n" + tail},
        {"unknown escape", head + "\"a\"=\"\\q\"\n" + tail},
        {"short \\x", head + "\"a\"=\"\\x4\"\n" + tail},
        {"backslash at end", head + "\"a\"=\"\\\n" + tail},
        {"text after text", head + "\"a\"=\"x\"y\n" + tail},
        {"raw tab", head + "\"a\"=\"x\ty\"\n" + tail},
        {"raw NUL", head + std::string("\"a\"=\"x\0y\"\n", 11) + tail},
        {"not UTF-8", head + "\"a\"=\"\xe4\"\n" + tail},
        {"not UTF-8 in a comment", head + "; \xff\n" + tail},
        {"deeper than the registry allows", head + "[" + deepPath(kMaxKeyDepth + 1) + "]\n" + tail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string problem;
        EXPECT_FALSE(ParseHive(c.text, &problem));
        EXPECT_FALSE(problem.empty());
    }
}

TEST(HiveText, TheDeepestAllowedKeyRoundTrips) {
    const auto tree = ParseHive("Orvane registry file, format 1\n[" + deepPath(kMaxKeyDepth) +
                                "]\nEnd of Orvane registry file\n");
    ASSERT_TRUE(tree);
    EXPECT_EQ(ParseHive(FormatHive(*tree)), tree);
}

TEST(HiveText, EveryCutOffFileIsDamaged) {
    RegKey root;
    RegKey& s = root.createKey("Settings");
    s.setValue("MaxFiles", RegValue::dword(0x1234abcd));
    s.setValue("Text", RegValue::text("Ünïcödé"));
    root.createKey("Leer");
    root.createKey("MRU SearchFolder").setValue("Folder0", RegValue::text("/home/a"));
    const std::string text = FormatHive(root);
    // Only the line break after the last line may go.
    for (std::size_t n = 0; n + 1 < text.size(); ++n)
        EXPECT_FALSE(ParseHive(text.substr(0, n))) << "cut at " << n;
    EXPECT_TRUE(ParseHive(text.substr(0, text.size() - 1)));
}
