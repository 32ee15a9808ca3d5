// SPDX-License-Identifier: MIT
// The provider of headless tests: queued answers and a record of the boxes shown.
#include "desktop/scripted.h"

#include <deque>
#include <mutex>
#include <utility>

namespace vexil::desktop {

namespace {

struct Script {
    std::mutex lock;
    std::deque<int> answers;
    std::vector<RecordedBox> boxes;
};

// Made once and never destroyed: another thread may still show a box while the process exits.
Script& script()
{
    static Script* s_script = new Script;
    return *s_script;
}

class ScriptedProvider final : public Provider {
public:
    int message_box(const MessageBoxRequest& request) override
    {
        Script& state = script();
        std::lock_guard guard(state.lock);
        int answer = default_button(request.type);
        if (!state.answers.empty()) {
            answer = state.answers.front();
            state.answers.pop_front();
        }
        state.boxes.push_back({request.caption, request.text, request.type, answer});
        return answer;
    }
};

ScriptedProvider s_scripted;

} // namespace

Provider& scripted_provider()
{
    return s_scripted;
}

void queue_message_box_answer(int answer)
{
    Script& state = script();
    std::lock_guard guard(state.lock);
    state.answers.push_back(answer);
}

std::vector<RecordedBox> take_recorded_boxes()
{
    Script& state = script();
    std::lock_guard guard(state.lock);
    return std::exchange(state.boxes, {});
}

void reset_scripted_provider()
{
    Script& state = script();
    std::lock_guard guard(state.lock);
    state.answers.clear();
    state.boxes.clear();
}

} // namespace vexil::desktop
