// SPDX-License-Identifier: MIT
// Per-thread message queues: making them, posting, sending, waking, and the end of a thread.
#include "user/message_queue.h"

#include "kernel/thread_exit.h"
#include "user/window.h"

#include <win32/kernel.h>

#include <cerrno>
#include <new>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vexil::user {

namespace {

// Windows refuses to post more than 10000 messages to a queue that nobody reads.
constexpr size_t kMaxPosted = 10000;

thread_local MessageQueue* t_queue = nullptr;

struct Pool {
    kernel::FutexLock lock;
    std::vector<MessageQueue*> free;
};

// Made once and never destroyed (see the file comment of message_queue.h).
Pool& pool()
{
    static Pool* s_pool = new Pool;
    return *s_pool;
}

} // namespace

MessageQueue* MessageQueue::existing() noexcept
{
    return t_queue;
}

MessageQueue* MessageQueue::current() noexcept
{
    if (t_queue)
        return t_queue;
    MessageQueue* queue = nullptr;
    {
        Pool& queues = pool();
        kernel::FutexLockGuard guard(queues.lock);
        if (!queues.free.empty()) {
            queue = queues.free.back();
            queues.free.pop_back();
        }
    }
    if (!queue) {
        queue = new (std::nothrow) MessageQueue;
        if (!queue)
            return nullptr;
        queue->m_wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (queue->m_wake_fd < 0) {
            delete queue;
            return nullptr;
        }
    }
    queue->reset_for_new_thread();
    if (!kernel::at_thread_exit(&MessageQueue::end_thread, queue)) {
        queue->tear_down();
        return nullptr;
    }
    t_queue = queue;
    return queue;
}

void MessageQueue::reset_for_new_thread()
{
    kernel::FutexLockGuard guard(m_lock);
    ++m_generation;
    m_ended = false;
    m_quit = false;
    m_quit_code = 0;
}

void MessageQueue::end_thread(void* queue) noexcept
{
    auto* self = static_cast<MessageQueue*>(queue);
    // The windows go with their thread, as on Windows, without messages: the thread's code
    // has finished, and the records its window procedures used may already be freed.
    OwnerState& owner = self->m_owner;
    while (!owner.windows.empty())
        destroy_window_silently(owner.windows.back());
    if (owner.connection) {
        self->m_backend_fd.store(-1);
        backend::close_connection(owner.connection);
    }
    self->tear_down();
    t_queue = nullptr;
}

void MessageQueue::tear_down()
{
    SentMessage* waiting = nullptr;
    {
        kernel::FutexLockGuard guard(m_lock);
        m_ended = true;
        m_posted.clear();
        waiting = m_sent_head;
        m_sent_head = m_sent_tail = nullptr;
    }
    // A sender whose message was never handled gets 0, as from a window that has gone.
    while (waiting) {
        SentMessage* next = waiting->next;
        MessageQueue* sender = waiting->sender;
        waiting->result = 0;
        waiting->done.store(true, std::memory_order_release);
        sender->wake();
        waiting = next;
    }
    m_owner = OwnerState{};
    Pool& queues = pool();
    kernel::FutexLockGuard guard(queues.lock);
    try {
        queues.free.push_back(this);
    } catch (...) {
        // NOTE: without memory for the pool entry the queue is simply not reused.
    }
}

DWORD MessageQueue::post(const MSG& message, uint32_t generation)
{
    {
        kernel::FutexLockGuard guard(m_lock);
        if (m_ended || generation != m_generation)
            return ERROR_INVALID_WINDOW_HANDLE;
        if (m_posted.size() >= kMaxPosted)
            return ERROR_NOT_ENOUGH_QUOTA;
        try {
            m_posted.push_back(message);
        } catch (...) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    wake();
    return ERROR_SUCCESS;
}

bool MessageQueue::deliver_sent(SentMessage* message, uint32_t generation)
{
    {
        kernel::FutexLockGuard guard(m_lock);
        if (m_ended || generation != m_generation)
            return false;
        message->next = nullptr;
        if (m_sent_tail)
            m_sent_tail->next = message;
        else
            m_sent_head = message;
        m_sent_tail = message;
    }
    wake();
    return true;
}

void MessageQueue::wake() noexcept
{
    if (!m_wake_pending.exchange(true)) {
        const uint64_t one = 1;
        // The counter cannot overflow: the owner drains it on every wake-up.
        [[maybe_unused]] ssize_t written = write(m_wake_fd, &one, sizeof one);
    }
}

SentMessage* MessageQueue::take_sent()
{
    kernel::FutexLockGuard guard(m_lock);
    SentMessage* message = m_sent_head;
    if (message) {
        m_sent_head = message->next;
        if (!m_sent_head)
            m_sent_tail = nullptr;
    }
    return message;
}

bool MessageQueue::take_posted(const MessageFilter& filter, bool remove, MSG* out)
{
    kernel::FutexLockGuard guard(m_lock);
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (filter.accepts_window(it->hwnd) && filter.accepts(it->message)) {
            *out = *it;
            if (remove)
                m_posted.erase(it);
            return true;
        }
    }
    return false;
}

void MessageQueue::post_quit(int exit_code)
{
    {
        kernel::FutexLockGuard guard(m_lock);
        m_quit = true;
        m_quit_code = exit_code;
    }
    wake();
}

bool MessageQueue::take_quit(const MessageFilter&, bool remove, MSG* out)
{
    // WM_QUIT is retrieved whatever the filter asks for, as Windows does.
    kernel::FutexLockGuard guard(m_lock);
    if (!m_quit)
        return false;
    *out = MSG{};
    out->message = WM_QUIT;
    out->wParam = static_cast<WPARAM>(static_cast<LONG_PTR>(m_quit_code));
    if (remove)
        m_quit = false;
    return true;
}

void MessageQueue::begin_round() noexcept
{
    m_wake_pending.store(false);
}

void MessageQueue::wait(Sources sources)
{
    pollfd fds[2] = {{m_wake_fd, POLLIN, 0}, {-1, POLLIN, 0}};
    nfds_t count = 1;
    const bool with_backend = sources == Sources::QueueAndBackend && m_owner.connection;
    if (with_backend) {
        fds[1].fd = backend::event_fd(m_owner.connection);
        count = 2;
    }
    m_idle.store(sources == Sources::QueueAndBackend);
    // Unbounded: the thread has nothing to do until a message or an event arrives.
    while (poll(fds, count, -1) < 0 && errno == EINTR) {
    }
    m_idle.store(false);
    if (fds[0].revents & POLLIN) {
        uint64_t value = 0;
        [[maybe_unused]] ssize_t got = read(m_wake_fd, &value, sizeof value);
    }
}

backend::Connection* MessageQueue::connection()
{
    if (!m_owner.connection && !m_owner.connection_failed) {
        m_owner.connection = backend::open_connection();
        m_owner.connection_failed = m_owner.connection == nullptr;
        if (m_owner.connection)
            m_backend_fd.store(backend::event_fd(m_owner.connection));
    }
    return m_owner.connection;
}

} // namespace vexil::user
