#include <gtest/gtest.h>

#include "core/ops/UndoLog.h"

TEST(UndoLog, RecordsAreStoredAsTheyAlwaysWereAndParseBack) {
    UndoRecord rename;
    rename.key = 123456;
    rename.preview = 1;
    rename.folder = "/daten";
    rename.name = "b.txt";
    rename.oldName = "a.txt";
    EXPECT_EQ(FormatUndoRecord(rename), "0|123456|1|/daten|b.txt|a.txt");

    UndoRecord times;
    times.kind = UNDO_TIMES;
    times.key = 7;
    times.folder = "/d";
    times.name = "n";
    times.modified = "133512345678901234";
    EXPECT_EQ(FormatUndoRecord(times), "1|7|0|/d|n||133512345678901234|");

    UndoRecord attributes;
    attributes.kind = UNDO_ATTRIBUTES;
    attributes.folder = "/d";
    attributes.name = "n";
    attributes.attributes = "A__S";
    EXPECT_EQ(FormatUndoRecord(attributes), "2|0|0|/d|n|A__S");

    // Linux names may hold '|' and '\'; they must not shift the fields.
    UndoRecord odd = rename;
    odd.folder = "/a|b\\c";
    odd.name = "x|y|";
    odd.oldName = "\\|old\\";
    for (const UndoRecord& r : {rename, times, attributes, odd}) {
        UndoRecord back;
        ASSERT_TRUE(ParseUndoRecord(FormatUndoRecord(r), back)) << FormatUndoRecord(r);
        EXPECT_EQ(back, r);
    }
    UndoRecord none;
    for (const char* bad : {"", "0|1", "x|1|0|a|b|c", "0|1|0|a|b", "1|1|0|a|b|c|d"}) EXPECT_FALSE(ParseUndoRecord(bad, none)) << bad;
}

TEST(UndoLog, GroupsNewestFirst) {
    UndoLog log;
    UndoRecord r;
    log.log(r); // no group: nothing happens
    EXPECT_FALSE(log.hasEntries());
    EXPECT_FALSE(log.take(r));
    EXPECT_EQ(log.popGroup(), -1);

    log.beginGroup(0);
    for (int i = 1; i <= 3; ++i) {
        r.key = static_cast<std::uintptr_t>(i);
        log.log(r);
    }
    log.beginGroup(1);
    int mode = -1;
    ASSERT_TRUE(log.peekMode(mode));
    EXPECT_EQ(mode, 1);
    EXPECT_FALSE(log.take(r)); // the head group is empty
    EXPECT_EQ(log.popGroup(), 1);
    for (std::uintptr_t want : {3u, 2u, 1u}) {
        ASSERT_TRUE(log.take(r));
        EXPECT_EQ(r.key, want);
    }
    EXPECT_FALSE(log.take(r));
    EXPECT_EQ(log.popGroup(), 0);
    EXPECT_FALSE(log.hasEntries());
}
