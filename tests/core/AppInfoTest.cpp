#include <gtest/gtest.h>

#include <filesystem>

#include "platform/RegistryFile.h"
#include "res/Version.h"
#include "core/settings/CVNAppInfo.h"
#include "tests/platform/XdgSandbox.h"
#include "tests/support/RegisteredApp.h"

namespace fs = std::filesystem;

namespace {

const std::string kVersion =
    std::to_string(ORVANE_VERSION_MAJOR) + "." + std::to_string(ORVANE_VERSION_MINOR);

} // namespace

TEST(RegistryHelpers, EachTypeRoundTripsAndOtherTypesGiveTheDefault) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    const std::vector<std::uint8_t> bytes{0, 1, 254, 255};
    std::vector<std::uint8_t> out{42};

    EXPECT_EQ(app.GetRegInt(true, "S", "Int", -7), -7) << "fresh profile";
    EXPECT_EQ(app.GetRegString(true, "S", "Text", "vorgabe"), "vorgabe");
    EXPECT_FALSE(app.GetRegBinary(true, "S", "Bytes", out));
    EXPECT_TRUE(out.empty());

    ASSERT_TRUE(app.WriteRegInt(true, "S", "Int", -123456));
    ASSERT_TRUE(app.WriteRegString(true, "S", "Text", "Größe \"x\"\n"));
    ASSERT_TRUE(app.WriteRegBinary(true, "S", "Bytes", bytes.data(), bytes.size()));
    EXPECT_EQ(app.GetRegInt(true, "s", "INT", 0), -123456);
    EXPECT_EQ(app.GetRegString(true, "S", "Text", ""), "Größe \"x\"\n");
    EXPECT_TRUE(app.GetRegBinary(true, "S", "Bytes", out));
    EXPECT_EQ(out, bytes);

    // A value of the wrong type reads as missing.
    EXPECT_EQ(app.GetRegInt(true, "S", "Text", 5), 5);
    EXPECT_EQ(app.GetRegInt(true, "S", "Bytes", 5), 5);
    EXPECT_EQ(app.GetRegString(true, "S", "Int", "d"), "d");
    EXPECT_FALSE(app.GetRegBinary(true, "S", "Text", out));
    EXPECT_TRUE(out.empty());
}

TEST(RegistryHelpers, WriteRegStringDeletesAValueOrAWholeSection) {
    XdgSandbox xdg;
    const CVNAppInfo app = registeredApp();
    ASSERT_TRUE(app.WriteRegString(true, "S\\Sub", "a", "1"));
    ASSERT_TRUE(app.WriteRegString(true, "S", "a", "1"));
    ASSERT_TRUE(app.WriteRegString(true, "S", "b", "2"));
    ASSERT_TRUE(app.WriteRegString(true, "Other", "a", "1"));

    EXPECT_TRUE(app.WriteRegString(true, "S", "a", std::nullopt));
    EXPECT_EQ(app.GetRegString(true, "S", "a", "gone"), "gone");
    EXPECT_EQ(app.GetRegString(true, "S", "b", ""), "2");
    EXPECT_FALSE(app.WriteRegString(true, "S", "a", std::nullopt)) << "nothing left to delete";
    EXPECT_FALSE(app.WriteRegString(true, "Missing", "a", std::nullopt));

    EXPECT_TRUE(app.WriteRegString(true, "S", std::nullopt, std::nullopt));
    EXPECT_EQ(app.GetRegString(true, "S", "b", "gone"), "gone");
    EXPECT_EQ(app.GetRegString(true, "S\\Sub", "a", "gone"), "gone");
    EXPECT_EQ(app.GetRegString(true, "Other", "a", ""), "1");
}

TEST(RegistryHelpers, TheMachineScopeReadsTheInstalledFileBelowTheVersionLevel) {
    XdgSandbox xdg;
    const std::string installed =
        XdgSandbox::hiveText("[" + kVersion + "\\Settings]\n\"MaxFiles\"=dword:9\n" +
                    "[Settings]\n\"MaxFiles\"=dword:8\n");
    XdgSandbox::put(xdg.machineHive(2), installed);
    const CVNAppInfo app = registeredApp();

    EXPECT_EQ(app.GetRegInt(false, "Settings", "MaxFiles", 0), 9);
    EXPECT_EQ(app.GetRegInt(true, "Settings", "MaxFiles", 0), 0) << "the user scope is separate";
    EXPECT_FALSE(app.WriteRegInt(false, "Settings", "MaxFiles", 1));
    EXPECT_FALSE(app.WriteRegString(false, "Settings", "MaxFiles", std::nullopt));
    EXPECT_FALSE(app.WriteRegString(false, "Settings", std::nullopt, std::nullopt));
    EXPECT_EQ(TempDir::read(xdg.machineHive(2)), installed);

    // Writes in the user scope go to the user's file only.
    ASSERT_TRUE(app.WriteRegInt(true, "Settings", "MaxFiles", 3));
    EXPECT_EQ(TempDir::read(xdg.machineHive(2)), installed);
    EXPECT_FALSE(fs::exists(xdg.machineHive(1)));
    EXPECT_EQ(app.GetRegInt(false, "Settings", "MaxFiles", 0), 9);
}
