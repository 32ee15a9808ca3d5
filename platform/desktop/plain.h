// SPDX-License-Identifier: MIT
// The provider for a process without a desktop: boxes are only written to standard error.
#pragma once

#include "desktop/provider.h"

namespace vexil::desktop {

// Answers every box with its default button (IDOK for an MB_OK box) at once.
Provider& plain_provider();

} // namespace vexil::desktop
