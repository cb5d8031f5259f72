// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutoAnswerMessageBoxes.h"

#include <string>

namespace sarvendo {

MessageResult AutoAnswerMessageBoxes::Show(std::string_view text, MessageButtons buttons, MessageIcon /*icon*/,
                                           MessageStacking /*stacking*/)
{
    // One line per box, line breaks shown as " | ", so a test can find a box by its text.
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            line += " | ";
        } else {
            line += c;
        }
    }
    m_log("Sarvendo message box: " + line + "\n");

    const bool yes = m_answer == Answer::Affirmative;
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageResult::Ok;
    case MessageButtons::OkCancel:
        return yes ? MessageResult::Ok : MessageResult::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return yes ? MessageResult::Yes : MessageResult::No;
    case MessageButtons::AbortRetry:
        // Retrying without anyone to fix the cause could go on for ever.
        return MessageResult::Abort;
    }
    return MessageResult::Ok;
}

} // namespace sarvendo
