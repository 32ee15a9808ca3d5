// SPDX-License-Identifier: MIT
// Tests of files: reading, writing, positions, sizes, sharing and the Win32 error codes.
#include <win32/kernel.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vexil-file-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_folder, ignored);
    }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    void write_file(const std::string& name, const std::string& contents) const
    {
        std::ofstream(path(name), std::ios::binary) << contents;
    }

    std::string contents_of(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static HANDLE open_for_reading(const std::string& file)
    {
        return CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }

    static HANDLE create_for_writing(const std::string& file, DWORD share = 0)
    {
        return CreateFileA(file.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }

    fs::path m_folder;
};

TEST_F(FileTest, WritesThenReadsBackToTheEnd)
{
    HANDLE out = create_for_writing(path("a.bin"));
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)); // a new file
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(out, "hello, file", 11, &written, nullptr));
    EXPECT_EQ(written, 11u);
    EXPECT_TRUE(CloseHandle(out));

    HANDLE in = open_for_reading(path("a.bin"));
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(in, &high), 11u);
    EXPECT_EQ(high, 0u);
    char buffer[32] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(in, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "hello, file");
    // At the end a read succeeds with nothing.
    EXPECT_TRUE(ReadFile(in, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(in));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(in));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileTest, SetFilePointerMovesFromEachOrigin)
{
    write_file("p.bin", "0123456789");
    HANDLE in = open_for_reading(path("p.bin"));
    struct Case {
        LONG distance;
        DWORD method;
        DWORD position;
        char next;
    };
    const Case cases[] = {
        {4, FILE_BEGIN, 4, '4'},
        {2, FILE_CURRENT, 7, '7'},
        {-3, FILE_END, 7, '7'},
        {-8, FILE_CURRENT, 0, '0'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetFilePointer(in, c.distance, nullptr, c.method), c.position);
        char next = 0;
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(in, &next, 1, &read, nullptr));
        EXPECT_EQ(next, c.next);
    }
    SetLastError(0);
    EXPECT_EQ(SetFilePointer(in, -100, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(in, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    // A 64-bit move past 4 GiB is allowed with a high part (the file does not grow by seeking).
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(in, 5, &high, FILE_BEGIN), 5u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(SetFilePointer(in, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    CloseHandle(in);
}

TEST_F(FileTest, CreateAlwaysReplacesAnExistingFile)
{
    write_file("old.bmp", "previous contents");
    HANDLE out = create_for_writing(path("old.bmp"));
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(out, "new", 3, &written, nullptr));
    CloseHandle(out);
    EXPECT_EQ(contents_of("old.bmp"), "new");
}

TEST_F(FileTest, FailuresGiveTheWin32Codes)
{
    write_file("present.txt", "x");
    fs::create_directory(m_folder / "folder");
    struct Case {
        const char* name;
        std::string file;
        DWORD access;
        DWORD disposition;
        DWORD error;
    };
    const Case cases[] = {
        {"missing file", path("absent.bmp"), GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"missing folder", path("no/such/absent.bmp"), GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"create in a missing folder", path("no/new.bmp"), GENERIC_WRITE, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"a file used as a folder", path("present.txt/x"), GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"folder read as a file", path("folder"), GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"folder replaced as a file", path("folder"), GENERIC_WRITE, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {"create new over a file", path("present.txt"), GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS},
        {"empty name", "", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"bad disposition", path("present.txt"), GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
        {"name too long", std::string(5000, 'n'), GENERIC_READ, OPEN_EXISTING, ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(CreateFileA(c.file.c_str(), c.access, 0, nullptr, c.disposition, 0, nullptr), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(contents_of("present.txt"), "x");
}

TEST_F(FileTest, PermissionErrorsAreAccessDenied)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    write_file("locked.bmp", "secret");
    fs::permissions(path("locked.bmp"), fs::perms::none);
    fs::create_directory(m_folder / "sealed");
    fs::permissions(m_folder / "sealed", fs::perms::owner_read | fs::perms::owner_exec);
    SetLastError(0);
    EXPECT_EQ(open_for_reading(path("locked.bmp")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetLastError(0);
    EXPECT_EQ(create_for_writing(path("sealed/new.bmp")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FileTest, WrongAccessAndBadArgumentsFail)
{
    write_file("r.bin", "abc");
    HANDLE in = open_for_reading(path("r.bin"));
    DWORD count = 0;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(in, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetLastError(0);
    EXPECT_FALSE(ReadFile(in, nullptr, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOACCESS));
    CloseHandle(in);

    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    char byte = 0;
    for (HANDLE bad : {in, event, INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    }
    CloseHandle(event);
}

TEST_F(FileTest, SharingIsEnforcedBetweenTheProcesssHandles)
{
    write_file("shared.bmp", "keep me");
    HANDLE reader = open_for_reading(path("shared.bmp"));
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    // A second reader is welcome; a writer is not, since the reader shares reading only, and
    // its refusal must not have truncated the file.
    HANDLE second = open_for_reading(path("shared.bmp"));
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    SetLastError(0);
    EXPECT_EQ(create_for_writing(path("shared.bmp"), FILE_SHARE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(contents_of("shared.bmp"), "keep me");
    CloseHandle(reader);
    CloseHandle(second);

    // An exclusive writer keeps readers out until it closes.
    HANDLE writer = create_for_writing(path("shared.bmp"));
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_for_reading(path("shared.bmp")), INVALID_HANDLE_VALUE);
    CloseHandle(writer);
    HANDLE after = open_for_reading(path("shared.bmp"));
    EXPECT_NE(after, INVALID_HANDLE_VALUE);
    CloseHandle(after);
}

TEST_F(FileTest, BackslashesSeparateFolders)
{
    fs::create_directory(m_folder / "pictures");
    write_file("pictures/cat.bmp", "meow");
    std::string windows_style = m_folder.string() + "\\pictures\\cat.bmp";
    HANDLE in = open_for_reading(windows_style);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(in, nullptr), 4u);
    CloseHandle(in);
}

} // namespace
