// SPDX-License-Identifier: MIT
// The provider for a process without a desktop.
#include "desktop/plain.h"

namespace vexil::desktop {

namespace {

class PlainProvider final : public Provider {
public:
    int message_box(const MessageBoxRequest& request) override { return default_button(request.type); }
};

// Trivially destructible, so exit() from any thread leaves it usable to the others.
PlainProvider s_plain;

} // namespace

Provider& plain_provider()
{
    return s_plain;
}

} // namespace vexil::desktop
