#include <gtest/gtest.h>

#include <QLocale>

#include "core/list/FileListRecord.h"
#include "platform/FileTime.h"
#include "tests/platform/TimeZone.h"

namespace {

class Record : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    ScopedTimeZone tz_{"Europe/Berlin"};
};

} // namespace

TEST_F(Record, SizeIsKilobytesRoundedUpAndGrouped) {
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 KB"}, {1024, "1 KB"}, {1025, "2 KB"}, {1263617, "1.235 KB"},
        {~0ULL, "18.014.398.509.481.984 KB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

TEST_F(Record, MadeFromAFoundFile) {
    FindData fd;
    fd.name = "Urlaub \xE4rger.JPG";
    fd.attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN;
    fd.size = 2049;
    fd.creationTime = calendarTime(2024, 1, 14, 23, 0, 0);
    fd.lastWriteTime = calendarTime(2014, 4, 1, 8, 0, 0);
    fd.lastAccessTime = FILETIME{};
    auto folder = std::make_shared<const std::string>("/home/anna/Bilder");
    auto r = FileListRecord::make(folder, fd);
    auto r2 = FileListRecord::make(folder, fd);
    EXPECT_EQ(r->folder.get(), folder.get()); // rows of one folder share its text
    EXPECT_EQ(r->typeText.get(), r2->typeText.get());
    const std::string expected[] = {fd.name, "/home/anna/Bilder", r->typeName(), "3 KB", "A_H_",
                                    "15.01.2024", "01.04.2014 10:00:00", ""};
    for (int id = 0; id < kColumnCount; ++id) EXPECT_EQ(CellText(*r, id), expected[id]) << id;
    EXPECT_NE(r->typeName().find("JPEG"), std::string::npos) << r->typeName();
    EXPECT_EQ(CellText(*r, 8), "");
}
