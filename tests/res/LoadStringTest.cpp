#include <gtest/gtest.h>

#include "res/LoadString.h"

// The generated table must keep the exact German bytes (umlauts, quotes, backslashes).
TEST(LoadString, KeepsGermanTextAndEscapesExactly) {
    EXPECT_EQ(LoadString(32019),
              "Regulärer Ausdruck: interner Fehler (eines der Zeichen \\0|) ist unerwartet).");
    EXPECT_EQ(LoadString(32021), "Regulärer Ausdruck: nachfolgendes Fluchtzeichen \\.");
}

TEST(LoadString, MissingIdIsEmpty) {
    EXPECT_EQ(LoadString(3), "");
    EXPECT_FALSE(HasString(3));
    EXPECT_TRUE(HasString(32029));
}

TEST(LoadString, EngineTextsAreComplete) {
    for (unsigned id = 32000; id <= 32029; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(LoadString(id).rfind("Regulärer Ausdruck: ", 0), 0u);
    }
}
