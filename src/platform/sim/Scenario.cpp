// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scenario.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace sarvendo {
namespace {

constexpr double kLongestScenarioSeconds = 7.0 * 24 * 3600;

std::vector<std::string> Words(std::string_view line)
{
    // Blanks are split by hand: a stream would classify them by its locale.
    std::vector<std::string> words;
    std::size_t i = 0;
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !blank(line[i])) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::optional<double> Seconds(std::string_view text)
{
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    // Only plain decimals: no exponents, no signs, no locale.
    double whole = 0;
    double fraction = 0;
    double scale = 1;
    bool seenPoint = false;
    bool seenDigit = false;
    for (char c : text) {
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            seenDigit = true;
            if (seenPoint) {
                scale /= 10;
                fraction += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) {
        return std::nullopt;
    }
    return whole + fraction;
}

std::optional<std::uint32_t> Count(std::string_view text)
{
    std::uint32_t value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> OnOff(const std::string& word)
{
    if (word == "on") {
        return true;
    }
    if (word == "off") {
        return false;
    }
    return std::nullopt;
}

// "8N1", "7E1", "5N1.5", "8O2".
bool ParseFrame(const std::string& frame, ScenarioEvent& event)
{
    if (frame.size() < 3 || frame[0] < '5' || frame[0] > '8') {
        return false;
    }
    event.byteSize = static_cast<std::uint8_t>(frame[0] - '0');
    const std::string parities = "noems";
    const auto parity = parities.find(Lower(frame.substr(1, 1))[0]);
    if (parity == std::string::npos) {
        return false;
    }
    event.parity = static_cast<std::uint8_t>(parity);
    const std::string stop = frame.substr(2);
    if (stop == "1") {
        event.stopBits = 0;
    } else if (stop == "1.5") {
        event.stopBits = 1;
    } else if (stop == "2") {
        event.stopBits = 2;
    } else {
        return false;
    }
    return true;
}

} // namespace

ScenarioParseResult ParseScenario(std::string_view text)
{
    Scenario scenario;
    double previous = 0;
    double last = 0;
    std::optional<double> end;
    int lineNumber = 0;
    std::size_t start = 0;
    auto fail = [&](const std::string& why) {
        return ScenarioParseResult{std::nullopt, "line " + std::to_string(lineNumber) + ": " + why};
    };
    while (start <= text.size()) {
        const std::size_t stop = text.find('\n', start);
        std::string_view line =
            text.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start);
        start = stop == std::string_view::npos ? text.size() + 1 : stop + 1;
        ++lineNumber;
        if (const auto hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        std::vector<std::string> words = Words(line);
        if (words.empty()) {
            continue;
        }
        for (std::size_t i = 0; i < words.size(); ++i) {
            // Program names keep their case; everything else is matched without it.
            if (!(i == 2 && Lower(words[1]) == "open")) {
                words[i] = Lower(words[i]);
            }
        }
        if (words[0] == "loop" && words.size() == 1) {
            scenario.loop = true;
            continue;
        }
        if (words[0] == "port" && words.size() == 2) {
            const auto port = Count(words[1]);
            if (!port || *port < 1 || *port > 9) {
                return fail("the port must be 1 to 9");
            }
            scenario.port = static_cast<int>(*port);
            continue;
        }
        if (words.size() < 2) {
            return fail("expected a time and an event");
        }
        const bool relative = words[0].front() == '+';
        const auto seconds = Seconds(relative ? std::string_view(words[0]).substr(1) : std::string_view(words[0]));
        if (!seconds) {
            return fail("\"" + words[0] + "\" is not a time in seconds");
        }
        const double at = relative ? previous + *seconds : *seconds;
        if (at < previous) {
            return fail("events must come in time order");
        }
        if (at > kLongestScenarioSeconds) {
            return fail("a scenario lasts at most a week");
        }
        if (end) {
            return fail("nothing may follow \"end\"");
        }
        previous = at;
        ScenarioEvent event;
        event.atMs = static_cast<std::uint32_t>(std::llround(at * 1000.0));
        const std::string& name = words[1];
        const std::size_t values = words.size() - 2;
        if (name == "ring" && values == 0) {
            event.kind = ScenarioEvent::Kind::Ring;
        } else if ((name == "ri" || name == "cd" || name == "cts" || name == "dsr" || name == "dtr" || name == "rts") &&
                   values == 1 && OnOff(words[2])) {
            event.kind = ScenarioEvent::Kind::Line;
            using S = ScenarioEvent::Signal;
            event.signal = name == "ri"    ? S::Ri
                           : name == "cd"  ? S::Cd
                           : name == "cts" ? S::Cts
                           : name == "dsr" ? S::Dsr
                           : name == "dtr" ? S::Dtr
                                           : S::Rts;
            event.on = *OnOff(words[2]);
        } else if (name == "carrier" && values == 1) {
            event.kind = ScenarioEvent::Kind::Carrier;
            if (words[2] != "off") {
                const auto bps = Count(words[2]);
                if (!bps || *bps == 0) {
                    return fail("carrier needs a speed in bps or \"off\"");
                }
                event.first = *bps;
            }
        } else if (name == "traffic" && values == 2) {
            const auto sent = Count(words[2]);
            const auto received = Count(words[3]);
            if (!sent || !received || *sent > 10'000'000 || *received > 10'000'000) {
                return fail("traffic needs bytes per second sent and received");
            }
            event.kind = ScenarioEvent::Kind::Traffic;
            event.first = *sent;
            event.second = *received;
        } else if (name == "open" && values <= 1) {
            event.kind = ScenarioEvent::Kind::Open;
            event.program = values == 1 ? words[2] : "pppd";
        } else if (name == "close" && values == 0) {
            event.kind = ScenarioEvent::Kind::Close;
        } else if (name == "params" && values == 2) {
            const auto baud = Count(words[2]);
            if (!baud || !ParseFrame(words[3], event)) {
                return fail("params needs a baud rate and a frame such as 8N1");
            }
            event.kind = ScenarioEvent::Kind::Params;
            event.first = *baud;
        } else if (name == "end" && values == 0) {
            event.kind = ScenarioEvent::Kind::End;
            end = at;
        } else {
            return fail("unknown event \"" + name + "\" or wrong values");
        }
        last = at;
        if (event.kind != ScenarioEvent::Kind::End) {
            scenario.events.push_back(event);
        }
    }
    scenario.lengthMs = static_cast<std::uint32_t>(std::llround((end ? *end : last) * 1000.0));
    if (scenario.loop && scenario.lengthMs == 0) {
        return ScenarioParseResult{std::nullopt, "a looping scenario must last longer than 0 seconds"};
    }
    return ScenarioParseResult{std::move(scenario), {}};
}

std::string_view BuiltInScenarioText()
{
    return R"(# A dial-in session on an external modem, played on a loop.
loop
0     dsr on
0     cts on
0     dtr on          # Sarvendo's own watch keeps DTR up
0     rts on
3     ring
+6    ring
+6    ring
+0.5  open pppd       # the answering program takes the port
+0    params 57600 8N1
+3    carrier 33600
+1    traffic 420 2900   # logging in, first pages
+6    traffic 3100 350   # an upload
+8    traffic 180 3300   # a download
+14   traffic 40 120
+5    traffic 0 0        # an idle spell
+25   traffic 600 1800   # a little more
+6    traffic 0 0
+4    carrier off        # the remote end hangs up
+0.5  close
+12   open pppd          # later, a call out
+0    params 115200 8N1
+6    carrier 28800
+1    traffic 900 2600
+12   traffic 60 200
+8    traffic 0 0
+3    dtr off            # pppd hangs up by dropping DTR
+1.5  dtr on
+0    close
+8    end
)";
}

} // namespace sarvendo
