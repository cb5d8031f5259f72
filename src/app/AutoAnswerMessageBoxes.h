// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

#include <iosfwd>

namespace sarvendo {

// For unattended runs only (the headless tests of the whole program): instead of
// showing a box and waiting for a user who is not there, it writes the box to a stream
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

    AutoAnswerMessageBoxes(std::ostream& log, Answer answer) : m_log(log), m_answer(answer) {}

    MessageResult Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                       MessageStacking stacking = MessageStacking::Normal) override;

private:
    std::ostream& m_log;
    Answer m_answer;
};

} // namespace sarvendo
