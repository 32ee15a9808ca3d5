// SPDX-License-Identifier: MIT
// The one table of error texts, which FormatMessageA and the layer's messages read.
#include "kernel/error_text.h"

#include <win32/errors.h>

#include <algorithm>
#include <iterator>

namespace vexil::kernel {

namespace {

struct ErrorText {
    DWORD code;
    const char* text;
};

// Sorted by code. Every code in <win32/errors.h> has its entry here.
constexpr ErrorText kErrorTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "Incorrect function."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_INVALID_DATA, "The data is invalid."},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_READ_FAULT, "The system cannot read from the specified device."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_SHARING_VIOLATION, "The process cannot access the file because it is being used by another process."},
    {ERROR_LOCK_VIOLATION,
     "The process cannot access the file because another process has locked a portion of the file."},
    {ERROR_HANDLE_EOF, "Reached the end of the file."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_BROKEN_PIPE, "The pipe has been ended."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_NEGATIVE_SEEK, "An attempt was made to move the file pointer before the beginning of the file."},
    {ERROR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERROR_DISCARDED, "The segment is already discarded and cannot be locked."},
    {ERROR_NOT_LOCKED, "The segment is already unlocked."},
    {ERROR_BUSY, "The requested resource is in use."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {ERROR_FILE_TOO_LARGE, "The file size exceeds the limit allowed and cannot be saved."},
    {ERROR_DIRECTORY, "The directory name is invalid."},
    {ERROR_NOT_OWNER, "Attempt to release mutex not owned by caller."},
    {ERROR_TOO_MANY_POSTS, "Too many posts were made to a semaphore."},
    {ERROR_MR_MID_NOT_FOUND, "The system cannot find message text for message number 0x%1 in the message file for %2."},
    {ERROR_INVALID_ADDRESS, "Attempt to access invalid address."},
    {ERROR_ARITHMETIC_OVERFLOW, "Arithmetic result exceeded 32 bits."},
    {ERROR_NOACCESS, "Invalid access to memory location."},
    {ERROR_INVALID_FLAGS, "Invalid flags."},
    {ERROR_CANCELLED, "The operation was canceled by the user."},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
    {ERROR_INVALID_MENU_HANDLE, "Invalid menu handle."},
    {ERROR_INVALID_CURSOR_HANDLE, "Invalid cursor handle."},
    {ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class."},
    {ERROR_WINDOW_OF_OTHER_THREAD, "Invalid window; it belongs to other thread."},
    {ERROR_CLASS_ALREADY_EXISTS, "Class already exists."},
    {ERROR_CLASS_DOES_NOT_EXIST, "Class does not exist."},
    {ERROR_CLASS_HAS_WINDOWS, "Class still has open windows."},
    {ERROR_INVALID_INDEX, "Invalid index."},
    {ERROR_INVALID_THREAD_ID, "Invalid thread identifier."},
    {ERROR_NO_SYSTEM_RESOURCES, "Insufficient system resources exist to complete the requested service."},
    {ERROR_TIMEOUT, "This operation returned because the timeout period expired."},
    {ERROR_INVALID_PRINTER_NAME, "The printer name is invalid."},
    {ERROR_RESOURCE_NAME_NOT_FOUND, "The specified resource name cannot be found in the image file."},
    {ERROR_NOT_ENOUGH_QUOTA, "Not enough quota is available to process this command."},
    {ERROR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system."},
    {ERROR_INVALID_PIXEL_FORMAT, "The pixel format is invalid."},
    {ERROR_RESOURCE_LANG_NOT_FOUND, "The specified resource language ID cannot be found in the image file."},
};

constexpr bool sorted_by_code()
{
    for (size_t i = 1; i < std::size(kErrorTexts); ++i) {
        if (kErrorTexts[i - 1].code >= kErrorTexts[i].code)
            return false;
    }
    return true;
}
static_assert(sorted_by_code(), "error texts must stay sorted by code, each code once");

} // namespace

const char* error_text(DWORD code) noexcept
{
    const ErrorText* end = std::end(kErrorTexts);
    const ErrorText* found = std::lower_bound(std::begin(kErrorTexts), end, code,
                                              [](const ErrorText& entry, DWORD wanted) { return entry.code < wanted; });
    return found != end && found->code == code ? found->text : nullptr;
}

} // namespace vexil::kernel
