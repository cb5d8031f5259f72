// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the dial-up notification text: it is cut to its limit on a character
// boundary, its second number is read, and the words that would start the lights program
// are split, all without trouble.
#include "FuzzCheck.h"

#include "app/CommandLine.h"
#include "app/DialUpNotification.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sarvendo;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string kept = CutNotificationText(text);
    fuzz::Check(kept.size() <= kNotificationTextLimit, "the text is cut to its limit");
    fuzz::Check(kept.find('\0') == std::string::npos, "a NUL ends the text");
    fuzz::Check(text.substr(0, kept.size()) == kept, "the kept text is the start of the received one");
    const std::size_t end = std::min(text.find('\0'), text.size());
    if (kept.size() < end) {
        fuzz::Check(kept.size() + 3 >= kNotificationTextLimit, "a cut loses at most one character");
        fuzz::Check(fuzz::CutKeepsCharactersWhole(text, kept.size()), "the cut never falls inside a character");
    }
    NotificationSecondNumber(kept);
    std::size_t words = 0;
    for (const std::string& word : SplitCommandLine(kept)) {
        fuzz::Check(!word.empty() || kept.find('"') != std::string::npos, "only quotes make an empty word");
        words += word.size();
    }
    fuzz::Check(words <= kept.size(), "splitting adds nothing");
    return 0;
}
