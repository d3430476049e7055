#include <gtest/gtest.h>

#include "platform/errors.h"

// Whatever errno a failed call leaves, the user reads a German text, never the fallback that
// only shows a number.
TEST(Errors, EveryErrnoReachesAGermanText) {
    for (int err = 1; err < 134; ++err) {
        const std::string text = FormatSystemError(winErrorFromErrno(err));
        EXPECT_EQ(text.find("Error #"), std::string::npos) << "errno " << err << ": " << text;
        EXPECT_EQ(text.back(), '\n') << "errno " << err; // system texts end with a line break
    }
    EXPECT_EQ(winErrorFromErrno(0), ERROR_SUCCESS);
    EXPECT_NE(FormatSystemError(9999).find("0x270f"), std::string::npos) << "unknown codes show it";
}
