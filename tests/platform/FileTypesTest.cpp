#include <gtest/gtest.h>

#include <QLocale>
#include <sys/stat.h>

#include "platform/FileTimes.h"
#include "platform/FileTypes.h"
#include "tests/support/TempDir.h"

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(FileTypes, KnownExtensionsGiveGermanTypeTextsAndIcons) {
    const FileTypeInfo& jpg = fileTypeOf("IMG_0001.JPG");
    EXPECT_NE(jpg.typeName.find("JPEG"), std::string::npos) << jpg.typeName;
    EXPECT_NE(jpg.typeName.find("Bild"), std::string::npos) << jpg.typeName; // German text
    EXPECT_EQ(jpg.iconName, "image-jpeg");
    EXPECT_EQ(&fileTypeOf("urlaub.jpg"), &jpg); // one answer per extension, case ignored
    EXPECT_EQ(fileTypeOf("Bericht.pdf").iconName, "application-pdf");
}

TEST_F(FileTypes, UnknownOrMissingExtensions) {
    EXPECT_EQ(fileTypeOf("daten.xyzq").typeName, "XYZQ-Datei");
    EXPECT_EQ(fileTypeOf("README").typeName, "Datei");
    EXPECT_EQ(fileTypeOf("name.").typeName, "Datei");
    EXPECT_FALSE(fileTypeOf("\xE4rger.\xFF\xFE").typeName.empty());
}

// The type comes from the name alone: asking must not touch the file's last access.
TEST_F(FileTypes, FileIsNeverOpened) {
    TempDir dir;
    const std::string f = dir.file("photo.png", "not really a png");
    FILETIME old;
    old.dwLowDateTime = 0;
    old.dwHighDateTime = 0x01D00000;
    ASSERT_TRUE(setFileTimes(f, nullptr, &old, nullptr).ok());
    chmod(f.c_str(), 0); // an open would fail anyway
    EXPECT_EQ(fileTypeOf(f).iconName, "image-png");
    FileTimes t;
    ASSERT_TRUE(readFileTimes(f, t).ok());
    EXPECT_EQ(t.lastAccess, old);
}
