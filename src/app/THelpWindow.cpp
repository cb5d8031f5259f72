#include "THelpWindow.h"

#include <QFile>

// The pages live in a static library, whose resources must be registered by hand.
static void RegisterHelpPages()
{
    Q_INIT_RESOURCE(help);
}

namespace sarvendo {

THelpWindow::THelpWindow(QWidget* parent) : QTextBrowser(parent)
{
    RegisterHelpPages();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Sarvendo Help"));
    setOpenLinks(true);
    setOpenExternalLinks(false);
    setSearchPaths({QStringLiteral(":/help")});
    resize(480, 420);
}

QString THelpWindow::PagePath(int context)
{
    return QStringLiteral(":/help/%1.html").arg(context);
}

void THelpWindow::SetOwner(QWidget* owner)
{
    if (owner == nullptr || parentWidget() == owner) {
        return;
    }
    const bool shown = isVisible();
    const QRect place = geometry();
    // A new parent hides the window; it comes back where it was.
    setParent(owner, windowFlags());
    if (shown) {
        setGeometry(place);
        show();
    }
}

void THelpWindow::ShowContext(int context, QWidget* owner)
{
    SetOwner(owner);
    m_context = context;
    QFile page(PagePath(context));
    if (page.open(QIODevice::ReadOnly)) {
        setHtml(QString::fromUtf8(page.readAll()));
    } else {
        setHtml(QStringLiteral("<h3>Sarvendo Help</h3><p>There is no help page for this topic (%1).</p>"
                               "<p><a href=\"1.html\">Contents</a></p>")
                    .arg(context));
    }
    show();
    raise();
    activateWindow();
}

void THelpWindow::Quit()
{
    close();
}

} // namespace sarvendo
