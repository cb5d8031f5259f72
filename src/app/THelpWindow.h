#pragma once

#include <QTextBrowser>

namespace sarvendo {

// The program's help: one page per help context, shipped inside the program, shown in a
// small window of its own. Quit closes it, as the old help system's quit command did.
class THelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // Shows the page of a context number and brings the window to the front.
    void ShowContext(int context);
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
