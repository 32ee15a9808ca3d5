// SPDX-License-Identifier: MIT
// Files: CreateFileA, ReadFile, WriteFile, SetFilePointer and GetFileSize on POSIX descriptors.
#include "kernel/file.h"

#include "kernel/futex_lock.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

namespace vexil::kernel {

namespace {

constinit FileTable s_files;
constinit FutexLock s_open_files_lock;
OpenFileEntry* s_open_files = nullptr; // guarded by s_open_files_lock

constexpr DWORD kAccessBits = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareBits = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Windows' rule: a new handle and each open one must each allow what the other does.
bool sharing_allows(const OpenFileEntry& open, const OpenFileEntry& wanted) noexcept
{
    auto allows = [](DWORD access, DWORD share) {
        return ((access & GENERIC_READ) == 0 || (share & FILE_SHARE_READ) != 0) &&
               ((access & GENERIC_WRITE) == 0 || (share & FILE_SHARE_WRITE) != 0);
    };
    return allows(wanted.access, open.share) && allows(open.access, wanted.share);
}

enum class Operation { Open, Read, Write };

DWORD error_from_errno(int error, Operation operation) noexcept
{
    switch (error) {
    case ENOENT:
    case ENXIO:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBADF:
        return ERROR_ACCESS_DENIED;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ETXTBSY:
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case EFAULT:
        return ERROR_NOACCESS;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EPIPE:
        return ERROR_BROKEN_PIPE;
    case EIO:
        return operation == Operation::Read    ? ERROR_READ_FAULT
               : operation == Operation::Write ? ERROR_WRITE_FAULT
                                               : ERROR_GEN_FAILURE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

// ENOENT means a missing file when the folder exists, and a missing path otherwise.
DWORD error_for_missing(const char* path) noexcept
{
    const char* slash = std::strrchr(path, '/');
    if (!slash)
        return ERROR_FILE_NOT_FOUND;
    char folder[PATH_MAX];
    size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    struct stat status {};
    return stat(folder, &status) == 0 && S_ISDIR(status.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

BOOL fail(DWORD error) noexcept
{
    SetLastError(error);
    return FALSE;
}

HANDLE fail_open(DWORD error) noexcept
{
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// Opens the path, creating the file when the disposition says so. Sets existed when the file
// was there before. Returns the descriptor or -1 with errno set.
int open_for_disposition(const char* path, int access_flags, DWORD disposition, mode_t mode, bool& existed) noexcept
{
    // A pipe or device must not block the open; the flag is taken off again afterwards.
    int flags = access_flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    bool may_create = disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    bool may_open = disposition != CREATE_NEW;
    // Create first, then open what is there: a file removed in between is created again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (may_create) {
            int fd = open(path, flags | O_CREAT | O_EXCL, mode);
            if (fd >= 0 || errno != EEXIST || !may_open) {
                existed = fd < 0 && errno == EEXIST;
                return fd;
            }
        }
        int fd = open(path, flags);
        if (fd >= 0 || errno != ENOENT || !may_create) {
            existed = fd >= 0;
            return fd;
        }
    }
    return -1;
}

} // namespace

FileTable& file_table() noexcept
{
    return s_files;
}

File::~File()
{
    if (m_registered) {
        FutexLockGuard guard(s_open_files_lock);
        (m_entry.prev ? m_entry.prev->next : s_open_files) = m_entry.next;
        if (m_entry.next)
            m_entry.next->prev = m_entry.prev;
    }
    close(m_fd);
}

bool File::register_sharing(const OpenFileEntry& entry) noexcept
{
    FutexLockGuard guard(s_open_files_lock);
    for (const OpenFileEntry* open = s_open_files; open; open = open->next) {
        if (open->device == entry.device && open->inode == entry.inode && !sharing_allows(*open, entry))
            return false;
    }
    m_entry = entry;
    m_entry.prev = nullptr;
    m_entry.next = s_open_files;
    if (s_open_files)
        s_open_files->prev = &m_entry;
    s_open_files = &m_entry;
    m_registered = true;
    return true;
}

} // namespace vexil::kernel

using namespace vexil::kernel;

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE)
{
    if (!lpFileName || dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
        return fail_open(ERROR_INVALID_PARAMETER);
    DWORD access = dwDesiredAccess & kAccessBits;
    if (dwCreationDisposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0)
        return fail_open(ERROR_INVALID_PARAMETER);
    size_t length = std::strlen(lpFileName);
    if (length == 0)
        return fail_open(ERROR_PATH_NOT_FOUND);
    if (length >= PATH_MAX)
        return fail_open(ERROR_FILENAME_EXCED_RANGE);
    // Windows separates folders with either slash; a backslash is never part of a name there.
    char path[PATH_MAX];
    std::replace_copy(lpFileName, lpFileName + length + 1, path, '\\', '/');

    int access_flags = access == kAccessBits ? O_RDWR : access == GENERIC_WRITE ? O_WRONLY : O_RDONLY;
    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    bool existed = false;
    int fd = open_for_disposition(path, access_flags, dwCreationDisposition, mode, existed);
    if (fd < 0) {
        if (errno == EEXIST && dwCreationDisposition == CREATE_NEW)
            return fail_open(ERROR_FILE_EXISTS);
        return fail_open(errno == ENOENT ? error_for_missing(path) : error_from_errno(errno, Operation::Open));
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        // Windows refuses to open a folder as a file with "access denied".
        close(fd);
        return fail_open(ERROR_ACCESS_DENIED);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    HANDLE handle = file_table().create(fd, S_ISREG(status.st_mode));
    if (!handle) {
        close(fd);
        return fail_open(ERROR_NOT_ENOUGH_MEMORY);
    }
    File* file = file_table().lookup(handle);
    OpenFileEntry entry{status.st_dev, status.st_ino, access, dwShareMode & kShareBits, nullptr, nullptr};
    // Truncation waits for the sharing check: a file another handle may not share stays intact.
    if (!file->register_sharing(entry)) {
        static_cast<void>(file_table().destroy(handle));
        return fail_open(ERROR_SHARING_VIOLATION);
    }
    bool truncate = dwCreationDisposition == TRUNCATE_EXISTING || (dwCreationDisposition == CREATE_ALWAYS && existed);
    if (truncate && S_ISREG(status.st_mode) && ftruncate(fd, 0) != 0) {
        DWORD error = error_from_errno(errno, Operation::Write);
        static_cast<void>(file_table().destroy(handle));
        return fail_open(error);
    }
    if (dwFlagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    else if (dwFlagsAndAttributes & FILE_FLAG_RANDOM_ACCESS)
        posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    // As Windows reports it: the file was there already and has been opened or replaced.
    bool reports_existing = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    SetLastError(reports_existing && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

namespace {

// Moves to the position an OVERLAPPED names: on a synchronous handle, Windows reads or writes
// there and leaves the file pointer after the transfer.
bool seek_to_overlapped(int fd, const OVERLAPPED* overlapped) noexcept
{
    if (!overlapped)
        return true;
    off_t offset = static_cast<off_t>((uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset);
    return lseek(fd, offset, SEEK_SET) >= 0;
}

constexpr size_t kLargestTransfer = size_t{1} << 30;

// ReadFile (into unsigned char) and WriteFile (from const unsigned char): the checks, the
// loop until all is moved, and the reports.
template <typename Byte>
BOOL transfer(HANDLE handle, Byte* bytes, DWORD size, LPDWORD transferred, LPOVERLAPPED overlapped) noexcept
{
    constexpr Operation operation = std::is_const_v<Byte> ? Operation::Write : Operation::Read;
    FileTable::Ref file = file_table().acquire(handle);
    if (!file)
        return fail(ERROR_INVALID_HANDLE);
    if (!transferred && !overlapped)
        return fail(ERROR_INVALID_PARAMETER);
    if (transferred)
        *transferred = 0;
    if (!bytes && size != 0)
        return fail(ERROR_NOACCESS);
    if (!seek_to_overlapped(file->fd(), overlapped))
        return fail(error_from_errno(errno, operation));
    DWORD done = 0;
    DWORD error = ERROR_SUCCESS;
    while (done < size) {
        size_t step = std::min<size_t>(size - done, kLargestTransfer);
        ssize_t count;
        if constexpr (operation == Operation::Read)
            count = read(file->fd(), bytes + done, step);
        else
            count = write(file->fd(), bytes + done, step);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            error = error_from_errno(errno, operation);
            break;
        }
        done += static_cast<DWORD>(count);
        if (operation == Operation::Write && count == 0) {
            error = ERROR_WRITE_FAULT;
            break;
        }
        // End of file: a read succeeds with what was there, 0 bytes when already at the end.
        // A pipe or device answers with what it has.
        if (operation == Operation::Read && (count == 0 || !file->is_regular()))
            break;
    }
    if (transferred)
        *transferred = done;
    if (overlapped)
        overlapped->InternalHigh = done;
    return error == ERROR_SUCCESS ? TRUE : fail(error);
}

} // namespace

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped)
{
    return transfer(hFile, static_cast<unsigned char*>(lpBuffer), nNumberOfBytesToRead, lpNumberOfBytesRead,
                    lpOverlapped);
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped)
{
    return transfer(hFile, static_cast<const unsigned char*>(lpBuffer), nNumberOfBytesToWrite, lpNumberOfBytesWritten,
                    lpOverlapped);
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod)
{
    FileTable::Ref file = file_table().acquire(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the distance is a signed 32-bit value; with one, a signed 64-bit value.
    int64_t distance =
        lpDistanceToMoveHigh
            ? static_cast<int64_t>((uint64_t(uint32_t(*lpDistanceToMoveHigh)) << 32) | uint32_t(lDistanceToMove))
            : int64_t{lDistanceToMove};
    int64_t base = 0;
    if (dwMoveMethod == FILE_CURRENT) {
        base = lseek(file->fd(), 0, SEEK_CUR);
    } else if (dwMoveMethod == FILE_END) {
        struct stat status {};
        base = fstat(file->fd(), &status) == 0 ? status.st_size : -1;
    } else if (dwMoveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(error_from_errno(errno, Operation::Open));
        return INVALID_SET_FILE_POINTER;
    }
    if ((distance > 0 && base > INT64_MAX - distance) || base + distance < 0) {
        SetLastError(distance < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + distance;
    // A position that a 32-bit result cannot show is refused, and the pointer stays put.
    if (!lpDistanceToMoveHigh && target > int64_t{0xfffffffe}) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file->fd(), static_cast<off_t>(target), SEEK_SET) < 0) {
        SetLastError(error_from_errno(errno, Operation::Open));
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    DWORD low = static_cast<DWORD>(target);
    // The low part may legitimately equal INVALID_SET_FILE_POINTER; callers then look here.
    if (low == INVALID_SET_FILE_POINTER)
        SetLastError(ERROR_SUCCESS);
    return low;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    FileTable::Ref file = file_table().acquire(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    struct stat status {};
    if (fstat(file->fd(), &status) != 0) {
        SetLastError(error_from_errno(errno, Operation::Read));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(status.st_size);
    if (!lpFileSizeHigh) {
        // NOTE: a size the low part alone cannot carry is refused rather than cut short, so
        // a caller that reads "the whole file" never reads a truncated one.
        if (size >= INVALID_FILE_SIZE) {
            SetLastError(ERROR_FILE_TOO_LARGE);
            return INVALID_FILE_SIZE;
        }
        return static_cast<DWORD>(size);
    }
    *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    if (static_cast<DWORD>(size) == INVALID_FILE_SIZE)
        SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}
