// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryWindowModuleAbi.h"
#include "history/HistoryWindowParts.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

namespace sarvendo {

class MessageBoxes;

// The history window, loaded from its module beside the program the first time it is
// opened and kept until the program ends. When the module cannot be loaded, a box says
// why each time the window is asked for, and everything else goes on.
class HistoryWindowLoader
{
public:
    HistoryWindowLoader(std::string modulePath, MessageBoxes& boxes);
    ~HistoryWindowLoader();
    HistoryWindowLoader(const HistoryWindowLoader&) = delete;
    HistoryWindowLoader& operator=(const HistoryWindowLoader&) = delete;

    // Shows the window, making it on the parts the first time.
    void Show(const HistoryWindowParts& parts);
    // The window, once made.
    QWidget* Window() const { return m_window.get(); }

private:
    // Loads the module; the reason it cannot be loaded otherwise.
    std::optional<std::string> Load();

    std::string m_modulePath;
    MessageBoxes& m_boxes;
    void* m_library = nullptr;
    SarvendoHistoryCreateFn m_create = nullptr;
    SarvendoHistoryShowFn m_show = nullptr;
    std::unique_ptr<QWidget> m_window;
};

} // namespace sarvendo
