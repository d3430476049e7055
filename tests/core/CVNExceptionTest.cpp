#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <future>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/messages/CVNException.h"

TEST(CVNException, TextsByKindOfConstruction) {
    struct Case {
        const char* name;
        CVNException error;
        std::string text;
        std::uint32_t code;
    } const cases[] = {
        {"access denied", CVNException(5u), "Zugriff verweigert.\n", 5},
        {"file not found", CVNException(2u), "Die Datei wurde nicht gefunden.\n", 2},
        {"unknown code", CVNException(0x4d2u), "Error # 0x4d2. Keine Fehlermeldung verfügbar.",
         0x4d2},
        {"code 0 without prefix", CVNException(0u), "Error # 0. Keine Fehlermeldung verfügbar.", 0},
        {"text", CVNException(std::string("Ordner fehlt")), "Ordner fehlt", 1359},
        {"string id", CVNException::FromStringId(32010), "Regulärer Ausdruck: ist zu groß.", 1359},
        {"missing string id", CVNException::FromStringId(3), "", 1359},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.error.text(), c.text);
        EXPECT_STREQ(c.error.what(), c.text.c_str());
        EXPECT_EQ(c.error.errorCode(), c.code);
    }
}

// The buffer is prefilled and larger than announced, so a write past size shows.
TEST(CVNException, GetErrorMessageFitsTheBufferWithoutSplittingCharacters) {
    struct Case {
        std::string text;
        std::size_t size;
        std::string expected;
    } const cases[] = {
        {"Größe", 1, ""},
        {"Größe", 2, "G"},
        {"Größe", 3, "Gr"},
        {"Größe", 4, "Gr"},
        {"Größe", 5, "Grö"},
        {"Größe", 7, "Größ"},
        {"Größe", 8, "Größe"},
        {"Größe", 64, "Größe"},
        {"a\xF0\x9F\x98\x80", 4, "a"},
        {"a\xF0\x9F\x98\x80", 6, "a\xF0\x9F\x98\x80"},
        // Bytes outside a valid sequence are characters of their own and may be cut between.
        {"\xA4\xA4\xA4", 3, "\xA4\xA4"},
        {"\xC3"
         "b",
         2, "\xC3"},
        {"x\xE2\x82", 3, "x\xE2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" size " << c.size);
        char buffer[80];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_TRUE(CVNException(c.text).GetErrorMessage(buffer, c.size));
        EXPECT_EQ(std::string(buffer), c.expected);
        for (std::size_t i = c.size; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], '#') << i;
    }
}

TEST(CVNException, GetErrorMessageWithoutRoomWritesNothing) {
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_FALSE(CVNException(std::string("abc")).GetErrorMessage(buffer, 0));
    EXPECT_EQ(buffer[0], '#');
    EXPECT_FALSE(CVNException(std::string("abc")).GetErrorMessage(nullptr, 4));
}

TEST(GetWindowsErrorCode, ByKindOfError) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::exception_ptr error;
        std::uint32_t code;
    } const cases[] = {
        {"own, from code", std::make_exception_ptr(CVNException(32u)), 32},
        {"own, cancelled", std::make_exception_ptr(CVNException(1223u)), 1223},
        {"own, code 0", std::make_exception_ptr(CVNException(0u)), 0},
        {"own, from text", std::make_exception_ptr(CVNException(std::string("x"))), 1359},
        {"own, from id", std::make_exception_ptr(CVNException::FromStringId(32010)), 1359},
        {"bad_alloc", std::make_exception_ptr(std::bad_alloc()), 8},
        {"bad_array_new_length", std::make_exception_ptr(std::bad_array_new_length()), 8},
        {"system_error generic",
         std::make_exception_ptr(std::system_error(ENOENT, std::generic_category())), 2},
        {"system_error system",
         std::make_exception_ptr(std::system_error(EACCES, std::system_category())), 5},
        {"filesystem_error",
         std::make_exception_ptr(fs::filesystem_error(
             "rename", fs::path("a"), std::error_code(ENOTEMPTY, std::generic_category()))),
         145},
        {"system_error other category",
         std::make_exception_ptr(
             std::system_error(std::make_error_code(std::future_errc::no_state))),
         1359},
        {"runtime_error", std::make_exception_ptr(std::runtime_error("x")), 1359},
        {"logic_error", std::make_exception_ptr(std::out_of_range("x")), 1359},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            std::rethrow_exception(c.error);
        } catch (const std::exception& e) {
            EXPECT_EQ(GetWindowsErrorCode(e), c.code);
        }
    }
}

TEST(ThrowHelpers, RaiseTheMatchingError) {
    struct Case {
        const char* name;
        void (*raise)();
        std::string text;
        std::uint32_t code;
    } const cases[] = {
        {"errno ENOENT",
         [] {
             errno = ENOENT;
             ThrowLastError();
         },
         "Die Datei wurde nicht gefunden.\n", 2},
        {"errno EACCES",
         [] {
             errno = EACCES;
             ThrowLastError();
         },
         "Zugriff verweigert.\n", 5},
        {"code", [] { ThrowError(183); }, "Eine Datei mit diesem Namen existiert bereits.\n", 183},
        {"text", [] { ThrowText("Kein Platz"); }, "Kein Platz", 1359},
        {"string id", [] { ThrowStringId(61472); }, "Keine Fehlermeldung verfügbar.", 1359},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.raise();
            ADD_FAILURE() << "nothing thrown";
        } catch (const CVNException& e) {
            EXPECT_EQ(e.text(), c.text);
            EXPECT_EQ(GetWindowsErrorCode(e), c.code);
        }
    }
}
