#include <gtest/gtest.h>

#include "res/Format.h"

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(Format("Bei der Datei '%s' ist ein Fehler passiert. %s", {"a.txt", "Weg."}),
              "Bei der Datei 'a.txt' ist ein Fehler passiert. Weg.");
    EXPECT_EQ(Format("%i Vorkommnis(se) in %i Datei(en)", {3, 1}), "3 Vorkommnis(se) in 1 Datei(en)");
    EXPECT_EQ(Format("Folder%d", {9}), "Folder9");
    EXPECT_EQ(Format("%s und %s", {"a%s", "b"}), "a%s und b"); // inserted text is not searched again
    EXPECT_EQ(Format("%s und %i", {"a"}), "a und %i");         // no argument left: kept
    EXPECT_EQ(Format("nur %s", {"a", "b"}), "nur a");
    EXPECT_EQ(Format("100%% %1 %x %s", {"a"}), "100% %1 %x a");
    EXPECT_EQ(Format("%sx%s%", {"1", "2"}), "1x2%");
}
