// SPDX-License-Identifier: MIT
// The provider of headless tests: answers are queued by the test, and every box is recorded.
#pragma once

#include "desktop/provider.h"

#include <string>
#include <vector>

namespace vexil::desktop {

struct RecordedBox {
    std::string caption;
    std::string text;
    UINT type = 0;
    int answer = 0;
};

Provider& scripted_provider();

// The next box is answered with `answer`; answers are used in the order queued. A box with no
// queued answer gets its default button, as with the plain provider.
void queue_message_box_answer(int answer);
// The boxes shown since the last call, oldest first; the record is emptied.
std::vector<RecordedBox> take_recorded_boxes();
// Forgets queued answers and recorded boxes, so each test starts afresh.
void reset_scripted_provider();

} // namespace vexil::desktop
