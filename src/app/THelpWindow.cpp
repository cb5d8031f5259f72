// SPDX-License-Identifier: GPL-3.0-or-later
#include "THelpWindow.h"

#include "setup/Documentation.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

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

QString THelpWindow::DocumentationParagraph()
{
    // The directory of the real executable, which is where an installation's layout starts.
    const QString directory = FindDocumentationDirectory(QCoreApplication::applicationDirPath());
    QString paragraph = QStringLiteral("<h3>More</h3><p>Sarvendo is free software under the GNU General Public "
                                       "License, version 3 or later. ");
    if (directory.isEmpty()) {
        return paragraph + QStringLiteral("Its README was not found beside the program.</p>");
    }
    const QString readme = directory + QStringLiteral("/README.md");
    return paragraph + QStringLiteral("The README, <a href=\"%1\">%2</a>, tells the rest.</p>")
                           .arg(QUrl::fromLocalFile(readme).toString(QUrl::FullyEncoded), readme.toHtmlEscaped());
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
        QString html = QString::fromUtf8(page.readAll());
        if (context == kContentsContext) {
            html.replace(QStringLiteral("</body>"), DocumentationParagraph() + QStringLiteral("</body>"));
        }
        setHtml(html);
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
