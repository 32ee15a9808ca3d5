// SPDX-License-Identifier: MIT
// The file object: an open file descriptor with the access and sharing it was opened with.
#pragma once

#include "kernel/handle_table.h"

#include <win32/kernel.h>

#include <sys/types.h>

namespace vexil::kernel {

// The identity and the access of one open file, kept in a list so that CreateFileA can apply
// Windows' sharing rules among the process's own handles.
struct OpenFileEntry {
    dev_t device;
    ino_t inode;
    DWORD access; // GENERIC_READ and GENERIC_WRITE bits
    DWORD share;  // FILE_SHARE_READ and FILE_SHARE_WRITE bits
    OpenFileEntry* prev;
    OpenFileEntry* next;
};

class File {
public:
    File(int fd, bool regular) noexcept : m_fd(fd), m_regular(regular) {}
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    int fd() const noexcept { return m_fd; }
    // A regular file reads and writes in full; a device or pipe may return less.
    bool is_regular() const noexcept { return m_regular; }

    // Enters the file in the list of open files, unless an open handle's sharing forbids it.
    [[nodiscard]] bool register_sharing(const OpenFileEntry& entry) noexcept;

private:
    int m_fd;
    bool m_regular;
    bool m_registered = false;
    OpenFileEntry m_entry{};
};

using FileTable = HandleTable<File, HandleKind::File>;
FileTable& file_table() noexcept;

} // namespace vexil::kernel
