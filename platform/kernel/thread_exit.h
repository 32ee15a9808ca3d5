// SPDX-License-Identifier: MIT
// Work to run when a thread ends, for parts of the layer that keep per-thread state.
#pragma once

namespace vexil::kernel {

/*
 * Registers fn(arg) to run when the calling thread ends, on that thread; callbacks run most
 * recent first, and one registered by a callback runs too. Any thread may register: for a
 * thread made by CreateThread they run as soon as its start routine returns, before its
 * thread_local objects are destroyed and before its handle becomes signalled; for any other
 * thread they run after its thread_local objects were destroyed (so a callback should keep its
 * state in trivially destructible storage). Nothing runs when the process ends through exit():
 * as on Windows, the remaining threads then simply stop.
 * Returns false, registering nothing, when no memory can be had.
 */
bool at_thread_exit(void (*fn)(void*), void* arg) noexcept;

} // namespace vexil::kernel
