// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// Records every box and answers from a queue (Ok or Yes when the queue is empty).
// WhileOpen runs inside Show, as the real box's message loop would run further timer
// ticks, so re-entry can be tested.
class FakeMessageBoxes final : public MessageBoxes
{
public:
    struct Shown
    {
        std::string text;
        MessageButtons buttons;
        MessageIcon icon;
        MessageStacking stacking;
    };

    MessageResult Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                       MessageStacking stacking) override
    {
        shown.push_back({std::string(text), buttons, icon, stacking});
        ++open;
        if (whileOpen) {
            auto hook = whileOpen;
            hook(shown.back());
        }
        --open;
        if (!answers.empty()) {
            const MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                          : MessageResult::Ok;
    }

    std::vector<Shown> shown;
    std::deque<MessageResult> answers;
    std::function<void(const Shown&)> whileOpen;
    int open = 0;
};

} // namespace sarvendo::fakes
