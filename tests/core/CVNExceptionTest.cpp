#include <gtest/gtest.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/messages/CVNException.h"

TEST(CVNException, TextAndCodeByKindOfError) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::exception_ptr error;
        std::string text; // empty: not one of ours
        std::uint32_t code;
    } const cases[] = {
        {"access denied", std::make_exception_ptr(CVNException(5u)), "Zugriff verweigert.\n", 5},
        {"unknown code", std::make_exception_ptr(CVNException(0x4d2u)),
         "Error # 0x4d2. Keine Fehlermeldung verfügbar.", 0x4d2},
        {"text", std::make_exception_ptr(CVNException(std::string("Ordner fehlt"))), "Ordner fehlt", 1359},
        {"bad_alloc", std::make_exception_ptr(std::bad_alloc()), "", 8},
        {"system_error", std::make_exception_ptr(std::system_error(EACCES, std::system_category())), "", 5},
        {"filesystem_error",
         std::make_exception_ptr(fs::filesystem_error(
             "rename", fs::path("a"), std::error_code(ENOTEMPTY, std::generic_category()))),
         "", 145},
        {"runtime_error", std::make_exception_ptr(std::runtime_error("x")), "", 1359},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            std::rethrow_exception(c.error);
        } catch (const CVNException& e) {
            EXPECT_EQ(e.text(), c.text);
            EXPECT_STREQ(e.what(), c.text.c_str());
            EXPECT_EQ(GetWindowsErrorCode(e), c.code);
        } catch (const std::exception& e) {
            EXPECT_EQ(GetWindowsErrorCode(e), c.code);
        }
    }
    errno = ENOENT;
    try {
        ThrowLastError();
    } catch (const CVNException& e) {
        EXPECT_EQ(e.text(), "Die Datei wurde nicht gefunden.\n");
    }
}
