#include <gtest/gtest.h>

#include <cerrno>

#include "platform/errors.h"
#include "res/LoadString.h"

TEST(Errors, ErrnoMapsToTheCodesTheProgramSpeaks) {
    const struct {
        int err;
        std::uint32_t code;
    } cases[] = {
        {0, ERROR_SUCCESS},          {ENOENT, ERROR_FILE_NOT_FOUND},
        {ENOTDIR, ERROR_PATH_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED},
        {EPERM, ERROR_ACCESS_DENIED}, {EEXIST, ERROR_FILE_EXISTS},
        {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {EXDEV, ERROR_NOT_SAME_DEVICE},
        {EROFS, ERROR_WRITE_PROTECT}, {ENOSPC, ERROR_DISK_FULL},
        {EOPNOTSUPP, ERROR_NOT_SUPPORTED}, {EIO, ERROR_IO_DEVICE},
        {EBUSY, ERROR_BUSY},         {12345, ERROR_INTERNAL_ERROR},
    };
    for (const auto& c : cases) EXPECT_EQ(winErrorFromErrno(c.err), c.code) << "errno " << c.err;
}

TEST(Errors, EveryCodeTheMappingGivesHasAGermanText) {
    for (int err = 1; err < 134; ++err) {
        std::uint32_t code = winErrorFromErrno(err);
        SCOPED_TRACE("errno " + std::to_string(err));
        std::string text = FormatSystemError(code);
        EXPECT_EQ(text.find("Error #"), std::string::npos) << text;
        EXPECT_EQ(text.back(), '\n'); // system texts end with a line break
    }
}

TEST(Errors, FallbackTextShowsTheCode) {
    EXPECT_EQ(FormatSystemError(0), "Error # 0. Keine Fehlermeldung verfügbar.");
    EXPECT_EQ(FormatSystemError(9999), "Error # 0x270f. Keine Fehlermeldung verfügbar.");
    EXPECT_EQ(FormatSystemError(12002), "Error # 0x2ee2. Keine Fehlermeldung verfügbar.");
    EXPECT_EQ(FormatSystemError(ERROR_ACCESS_DENIED), "Zugriff verweigert.\n");
    EXPECT_EQ(FormatSystemError(ERROR_FILE_EXISTS), "Die Datei existiert bereits.\n");
}
