// SPDX-License-Identifier: MIT
// Tests of the last error and of FormatMessageA with the layer's error texts.
#include "kernel/error_text.h"

#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <fstream>
#include <regex>
#include <string>
#include <thread>

namespace vexil::kernel {
namespace {

constexpr DWORD kSystemFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;

// The library's call: an allocated buffer, freed with LocalFree.
std::string system_text(DWORD code, DWORD flags = kSystemFlags)
{
    LPSTR text = nullptr;
    DWORD length = FormatMessageA(flags, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (length == 0)
        return "<failed>";
    std::string result(text, length);
    EXPECT_EQ(LocalFree(text), nullptr);
    return result;
}

TEST(LastErrorTest, BelongsToEachThread)
{
    SetLastError(ERROR_ACCESS_DENIED);
    std::thread other([] {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
        SetLastError(ERROR_NOT_OWNER);
    });
    other.join();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(FormatMessageTest, SystemTextsEndWithALineBreakAsOnWindows)
{
    struct Case {
        DWORD code;
        const char* text;
    };
    const Case cases[] = {
        {ERROR_SUCCESS, "The operation completed successfully.\r\n"},
        {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
        {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command.\r\n"},
        {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller.\r\n"},
        {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
        {ERROR_CLASS_ALREADY_EXISTS, "Class already exists.\r\n"},
        {ERROR_MR_MID_NOT_FOUND,
         "The system cannot find message text for message number 0x%1 in the message file for %2.\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(system_text(c.code), c.text) << c.code;
}

TEST(FormatMessageTest, EveryDeclaredErrorCodeHasAText)
{
    std::ifstream header(VEXIL_ERRORS_HEADER);
    ASSERT_TRUE(header) << VEXIL_ERRORS_HEADER;
    const std::regex definition(R"(^#define\s+(\w+)\s+(\d+)L)");
    int codes = 0;
    for (std::string line; std::getline(header, line);) {
        std::smatch match;
        if (!std::regex_search(line, match, definition))
            continue;
        ++codes;
        DWORD code = static_cast<DWORD>(std::stoul(match[2]));
        EXPECT_NE(error_text(code), nullptr) << match[1] << " (" << code << ") has no text";
    }
    EXPECT_GT(codes, 40);
}

TEST(FormatMessageTest, UnknownCodeOrLanguageFails)
{
    LPSTR text = nullptr;
    SetLastError(0);
    EXPECT_EQ(FormatMessageA(kSystemFlags, nullptr, 123456, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    EXPECT_EQ(text, nullptr);
    SetLastError(0);
    EXPECT_EQ(
        FormatMessageA(kSystemFlags, nullptr, ERROR_INVALID_HANDLE, 0x0407, reinterpret_cast<LPSTR>(&text), 0, nullptr),
        0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
}

TEST(FormatMessageTest, CallerBufferMustHoldTextAndTerminator)
{
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    char buffer[32];
    const std::string expected = "The handle is invalid.\r\n";
    EXPECT_EQ(FormatMessageA(flags, nullptr, ERROR_INVALID_HANDLE, 0, buffer, sizeof buffer, nullptr), expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    SetLastError(0);
    EXPECT_EQ(
        FormatMessageA(flags, nullptr, ERROR_INVALID_HANDLE, 0, buffer, static_cast<DWORD>(expected.size()), nullptr),
        0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

std::string format_with_arguments(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    char buffer[64] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_STRING, format, 0, 0, buffer, sizeof buffer, &arguments);
    va_end(arguments);
    return std::string(buffer, length);
}

TEST(FormatMessageTest, InsertsComeFromAVaList)
{
    EXPECT_EQ(format_with_arguments("%2 before %1!u!", DWORD_PTR{7}, "text"), "text before 7");
}

TEST(FormatMessageTest, InsertsEscapesAndWidth)
{
    DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>("pen"), 3, 255};
    struct Case {
        const char* format;
        DWORD flags;
        const char* expected;
    };
    const DWORD from_array = FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY;
    const Case cases[] = {
        {"%1 of %2!d!, %3!04X!", from_array, "pen of 3, 00FF"},
        {"%2!d!%n%1%%%.%!", from_array, "3\r\npen%.!"},
        {"kept %1 as is", FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_IGNORE_INSERTS, "kept %1 as is"},
        {"cut here%0 not this", from_array, "cut here"},
        {"one two three four", from_array | 9, "one two\r\nthree\r\nfour"},
    };
    for (const Case& c : cases) {
        char buffer[64] = {};
        DWORD length =
            FormatMessageA(c.flags, c.format, 0, 0, buffer, sizeof buffer, reinterpret_cast<va_list*>(arguments));
        EXPECT_EQ(std::string(buffer, length), c.expected) << c.format;
    }
    // An insert without arguments, or with a bad form, is refused.
    char buffer[64];
    SetLastError(0);
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_STRING, "%1", 0, 0, buffer, sizeof buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(FormatMessageA(from_array, "%1!n!", 0, 0, buffer, sizeof buffer, reinterpret_cast<va_list*>(arguments)),
              0u);
    // With a maximum width the system text has no closing line break.
    EXPECT_EQ(system_text(ERROR_INVALID_HANDLE, kSystemFlags | FORMAT_MESSAGE_MAX_WIDTH_MASK),
              "The handle is invalid.");
}

} // namespace
} // namespace vexil::kernel
