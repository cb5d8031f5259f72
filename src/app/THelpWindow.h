// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>

namespace sarvendo {

// The program's help: one page per help context, shipped inside the program, shown in a
// small window of its own. Quit closes it, as the old help system's quit command did.
// The window belongs to an owner window, above which it stays. An application-modal
// dialog blocks every window but its own, so help opened from such a dialog must belong
// to that dialog to take input while the dialog is open.
class THelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // Shows the page of a context number and brings the window to the front; with an
    // owner, the window first becomes that owner's.
    void ShowContext(int context, QWidget* owner = nullptr);
    // Makes the window owner's, where and as it is shown.
    void SetOwner(QWidget* owner);
    void Quit();

    int CurrentContext() const { return m_context; }

    static constexpr int kContentsContext = 1;

    // The resource path of a context's page.
    static QString PagePath(int context);
    // Added to the contents page: the licence and a link to the README of the running
    // program's installation or build tree.
    static QString DocumentationParagraph();

private:
    int m_context = 0;
};

} // namespace sarvendo
