// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/TempDir.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace sarvendo::fakes {

// Puts this thread's numbers under a locale whose decimal point is a comma, as a German
// desktop does once Qt has called setlocale. The system's de_DE.UTF-8 is used when it is
// installed; otherwise a locale that defines only the comma is built with localedef, so
// the tests do not depend on the machine's list of locales. Active() is false only when
// neither works.
class CommaLocale
{
public:
    CommaLocale()
    {
        m_locale = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", nullptr);
        if (m_locale == nullptr) {
            m_locale = BuildOwn();
        }
        if (m_locale != nullptr) {
            m_previous = uselocale(m_locale);
        }
    }
    ~CommaLocale()
    {
        if (m_locale != nullptr) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // True when printf now writes a comma for the point.
    bool Active() const
    {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        return m_locale != nullptr && std::string(text) == "1,5";
    }

private:
    locale_t BuildOwn()
    {
        const std::string source = m_dir.File("comma.src");
        TempDir::Write(source, "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\n"
                               "grouping 3;3\nEND LC_NUMERIC\n");
        const std::string command = "localedef -c -i '" + source + "' '" + m_dir.File("comma") + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1) {
            return nullptr;
        }
        const char* old = std::getenv("LOCPATH");
        const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("LOCPATH", m_dir.Path().c_str(), 1);
        locale_t built = newlocale(LC_NUMERIC_MASK, "comma", nullptr);
        if (saved) {
            setenv("LOCPATH", saved->c_str(), 1);
        } else {
            unsetenv("LOCPATH");
        }
        return built;
    }

    TempDir m_dir;
    locale_t m_locale = nullptr;
    locale_t m_previous = nullptr;
};

} // namespace sarvendo::fakes
