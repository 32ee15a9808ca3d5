// SPDX-License-Identifier: MIT
// The message queue of one thread: posted and sent messages, input, the quit request, wake-ups.
#pragma once

/*
 * A thread gets a queue the first time it needs one (it creates a window, reads or posts a
 * message, or sends one across threads). Other threads only post, send and wake; everything
 * else, and the whole of OwnerState, belongs to the owner thread.
 *
 * Wake-ups: a producer queues its work, then calls wake(), which writes the eventfd only when
 * no wake-up is pending since the owner last cleared the flag. The owner clears the flag before
 * it looks at its queues and polls the eventfd (and the backend's) when they are empty, so a
 * wake-up is never lost and a burst of work costs one system call.
 *
 * Queues are never freed: when a thread ends, its windows are destroyed, the senders still
 * waiting on it are answered 0 and its queue goes back to a pool for the next thread. A queue
 * carries a generation, taken by each window it owns, so that work addressed to a window of an
 * ended thread is refused instead of reaching the thread that reuses the queue.
 */

#include "backend/backend.h"
#include "kernel/futex_lock.h"
#include "user/menu.h"

#include <win32/user.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

namespace vexil::user {

class MessageQueue;

// A message sent from another thread; it lives on the sender's stack until `done` is set.
struct SentMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    MessageQueue* sender = nullptr;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    SentMessage* next = nullptr;
};

// The window and message range a GetMessageA or PeekMessageA call asks for.
struct MessageFilter {
    HWND window = nullptr; // null: every window of the thread, and thread messages
    UINT first = 0;        // first = last = 0: every message
    UINT last = 0;

    bool accepts(UINT message) const { return (first == 0 && last == 0) || (message >= first && message <= last); }
    bool accepts_range(UINT low, UINT high) const
    {
        return (first == 0 && last == 0) || (low <= last && high >= first);
    }
    bool accepts_window(HWND target) const { return !window || window == target; }
};

enum class InputKind : uint8_t { Key, Mouse, Close, Expose, Focus, Cooked };

// An event from the backend, as it waits for the program; Cooked holds a message already made
// from one (by PeekMessageA with PM_NOREMOVE), so it is not made twice.
struct InputEntry {
    InputKind kind = InputKind::Cooked;
    HWND window = nullptr;
    backend::KeyEvent key;
    backend::MouseEvent mouse;
    raster::Box box;
    backend::Focus focus = backend::Focus::Gained;
    MSG cooked = {};
};

// The last button press, for making double clicks.
struct ClickRecord {
    HWND window = nullptr;
    UINT message = 0; // the down message it gave, client or non-client
    uint32_t time_ms = 0;
    int32_t screen_x = 0;
    int32_t screen_y = 0;
};

// The key message last handed out, and the character TranslateMessage makes of it.
struct KeyRecord {
    MSG message = {};
    uint8_t character = 0;
    bool has_character = false;
};

// The open system menu: what it shows and which entry is highlighted.
struct MenuTracking {
    HWND owner = nullptr;
    std::vector<MenuEntry> entries;
    std::vector<int32_t> tops; // each entry's top in the popup, then the bottom of the last
    int highlighted = -1;
};

struct OwnerState {
    backend::Connection* connection = nullptr;
    bool connection_failed = false;
    std::vector<HWND> windows; // in creation order
    std::deque<InputEntry> input;
    ClickRecord last_click;
    KeyRecord last_key;
    uint32_t modifiers = 0;       // backend::Modifier bits of the input message being handled
    HWND menu_popup = nullptr;    // the open system menu, which takes all input of the thread
    MenuTracking menu;
    HWND mouse_window = nullptr;  // the window that had the last mouse event
    HCURSOR cursor = nullptr;
};

class MessageQueue {
public:
    // The calling thread's queue, made on first use; null when none can be made.
    static MessageQueue* current() noexcept;
    // The calling thread's queue, or null when it has none yet.
    static MessageQueue* existing() noexcept;

    uint32_t generation() const { return m_generation; }

    // Any thread. Queues a posted message for a window of `generation` (or a thread message)
    // and wakes the owner; ERROR_SUCCESS or the error to report.
    [[nodiscard]] DWORD post(const MSG& message, uint32_t generation);
    // Any thread. Queues a message sent from another thread; false when the owner has ended.
    [[nodiscard]] bool deliver_sent(SentMessage* message, uint32_t generation);
    void wake() noexcept;

    // The owner thread.
    SentMessage* take_sent();
    bool take_posted(const MessageFilter& filter, bool remove, MSG* out);
    void post_quit(int exit_code);
    bool take_quit(const MessageFilter& filter, bool remove, MSG* out);
    // Starts a round of looking for work: wake-ups from now on make wait() return.
    void begin_round() noexcept;
    // Sleeps until a wake-up or, with the backend included, a native event.
    enum class Sources : uint8_t { QueueOnly, QueueAndBackend };
    void wait(Sources sources);
    // The thread's display connection, opened on first use; null when there is no display.
    backend::Connection* connection();
    OwnerState& owner() { return m_owner; }

    // Any thread: whether the owner sleeps in wait() with nothing to do, for tests.
    bool idle() const noexcept { return m_idle.load(); }
    int wake_fd() const noexcept { return m_wake_fd; }
    int backend_fd() const noexcept { return m_backend_fd.load(); }

private:
    MessageQueue() = default;
    static void end_thread(void* queue) noexcept;
    void reset_for_new_thread();
    void tear_down();

    // Shared state, guarded by m_lock.
    kernel::FutexLock m_lock;
    std::deque<MSG> m_posted;
    SentMessage* m_sent_head = nullptr;
    SentMessage* m_sent_tail = nullptr;
    bool m_quit = false;
    int m_quit_code = 0;
    bool m_ended = false;
    uint32_t m_generation = 0;

    int m_wake_fd = -1;
    std::atomic<bool> m_wake_pending{false};
    std::atomic<bool> m_idle{false};
    std::atomic<int> m_backend_fd{-1};

    OwnerState m_owner;
};

} // namespace vexil::user
