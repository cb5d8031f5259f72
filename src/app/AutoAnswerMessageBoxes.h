// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <functional>
#include <string_view>
#include <utility>

namespace sarvendo {

// For unattended runs only (the headless tests of the whole program): instead of
// showing a box and waiting for a user who is not there, it writes the box to a log
// and answers at once. The program uses it when SARVENDO_AUTO_ANSWER is set: "no" answers
// No (or Cancel), any other value the affirmative button (Yes or Ok); Abort/Retry boxes
// are always answered Abort.
class AutoAnswerMessageBoxes final : public MessageBoxes
{
public:
    enum class Answer
    {
        Affirmative,
        Negative,
    };

    // Takes each box as a line of text, line break included.
    using Log = std::function<void(std::string_view line)>;

    AutoAnswerMessageBoxes(Log log, Answer answer) : m_log(std::move(log)), m_answer(answer) {}

    MessageResult Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                       MessageStacking stacking = MessageStacking::Normal) override;

private:
    Log m_log;
    Answer m_answer;
};

} // namespace sarvendo
