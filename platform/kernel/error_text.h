// SPDX-License-Identifier: MIT
// The texts of the error codes the layer sets, worded as Windows words them.
#pragma once

#include <win32/types.h>

namespace vexil::kernel {

// The text for an error code, without a line break, or null for a code the layer does not know.
const char* error_text(DWORD code) noexcept;

} // namespace vexil::kernel
