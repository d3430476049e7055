#include <gtest/gtest.h>

#include "core/ops/UndoLog.h"

TEST(UndoLog, GroupsNewestFirst) {
    UndoLog log;
    UndoRecord r;
    log.log(r); // no group: nothing happens
    EXPECT_FALSE(log.hasEntries());
    EXPECT_FALSE(log.take(r));
    EXPECT_EQ(log.popGroup(), -1);

    log.beginGroup(0);
    for (const char* name : {"1", "2", "3"}) {
        r.name = name;
        log.log(r);
    }
    log.beginGroup(1);
    int mode = -1;
    ASSERT_TRUE(log.peekMode(mode));
    EXPECT_EQ(mode, 1);
    EXPECT_FALSE(log.take(r)); // the head group is empty
    EXPECT_EQ(log.popGroup(), 1);
    for (const char* want : {"3", "2", "1"}) {
        ASSERT_TRUE(log.take(r));
        EXPECT_EQ(r.name, want);
    }
    EXPECT_FALSE(log.take(r));
    EXPECT_EQ(log.popGroup(), 0);
    EXPECT_FALSE(log.hasEntries());
}

// A run taken back from the history leaves Rückgängig; the other runs stay.
TEST(UndoLog, ARunTakenBackElsewhereLeavesOnlyItsGroup) {
    UndoLog log;
    UndoRecord r;
    for (const char* run : {"a", "b", "c"}) {
        log.beginGroup(0);
        log.setHeadJournalRun(run);
        log.log(r);
    }
    log.dropJournalRun("b");
    EXPECT_EQ(log.groupCount(), 2u);
    EXPECT_EQ(log.headJournalRun(), "c");
    log.popGroup();
    EXPECT_EQ(log.headJournalRun(), "a");
}
