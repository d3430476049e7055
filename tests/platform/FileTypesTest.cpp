#include <gtest/gtest.h>

#include <QLocale>
#include <sys/stat.h>

#include "platform/FileTimes.h"
#include "platform/FileTypes.h"
#include "tests/support/TempDir.h"

TEST(FileTypes, OneAnswerPerExtensionWhateverItsCase) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(&fileTypeOf("IMG_0001.JPG"), &fileTypeOf("urlaub.jpg"));
    EXPECT_EQ(fileTypeOf("daten.xyzq").typeName, "XYZQ-Datei");
    EXPECT_EQ(fileTypeOf("README").typeName, fileTypeOf("name.").typeName);
    EXPECT_FALSE(fileTypeOf("\xE4rger.\xFF\xFE").typeName.empty());
    QLocale::setDefault(QLocale::c());
}

// The type comes from the name alone: asking must not touch the file's last access.
TEST(FileTypes, FileIsNeverOpened) {
    TempDir dir;
    const std::string f = dir.file("photo.png", "not really a png");
    const FILETIME old = FILETIME::fromTicks(0x01D0000000000000ULL);
    ASSERT_TRUE(setFileTimes(f, nullptr, &old, nullptr).ok());
    chmod(f.c_str(), 0); // an open would fail anyway
    EXPECT_EQ(fileTypeOf(f).iconName, "image-png");
    FileTimes t;
    ASSERT_TRUE(readFileTimes(f, t).ok());
    EXPECT_EQ(t.lastAccess, old);
}
