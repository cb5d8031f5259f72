// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/TUrlLabel.h"

#include "fakes/FakeClipboard.h"
#include "fakes/FakeUrlOpener.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class UrlLabelTest : public ::testing::Test
{
protected:
    UrlLabelTest() { label.resize(200, 20); }

    fakes::FakeUrlOpener opener;
    fakes::FakeClipboard clipboard;
    TUrlLabel label{opener, clipboard};
};

TEST_F(UrlLabelTest, LooksLikeALinkUnderTheHandCursor)
{
    EXPECT_EQ(label.FontColor(), QColor(0, 0, 255));
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.ActiveColor(), QColor(0x80, 0, 0x80));
    // The program's own hand picture, not a plain arrow.
    EXPECT_EQ(label.cursor().shape(), Qt::BitmapCursor);
}

TEST_F(UrlLabelTest, ClickOpensTheUrlOrElseTheCaption)
{
    struct Case
    {
        const char* caption;
        const char* url;
        std::vector<std::string> opened;
    };
    const std::vector<Case> cases{
        {"user@example.org", "mailto:user@example.org", {"mailto:user@example.org"}},
        {"/usr/share/doc/sarvendo", "", {"/usr/share/doc/sarvendo"}},
        {"/usr/share/doc/sarvendo", "   ", {"/usr/share/doc/sarvendo"}},
        {"  ", "", {}},
        {"", " \t", {}},
        // Markup in a caption is text, and is opened as it stands.
        {"<b>x</b>", "", {"<b>x</b>"}},
    };
    for (const Case& c : cases) {
        opener.opened.clear();
        label.setText(QString::fromUtf8(c.caption));
        label.SetURL(QString::fromUtf8(c.url));
        QTest::mouseClick(&label, Qt::LeftButton);
        EXPECT_EQ(opener.opened, c.opened) << '"' << c.caption << "\" \"" << c.url << '"';
    }
}

TEST_F(UrlLabelTest, UserClickHandlerRunsBeforeTheTargetOpens)
{
    label.setText(QStringLiteral("x"));
    std::size_t openedBefore = 99;
    QObject::connect(&label, &TUrlLabel::clicked, [&] { openedBefore = opener.opened.size(); });
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(openedBefore, 0U);
    EXPECT_EQ(opener.opened.size(), 1U);
}

TEST_F(UrlLabelTest, LeftButtonTurnsItPurpleAndBackToTheColourItHadBefore)
{
    label.SetFontColor(QColor(Qt::darkGreen)); // changed from the default blue
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(0x80, 0, 0x80));
    QTest::mouseRelease(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(Qt::darkGreen));

    label.SetActiveColor(QColor(Qt::red));
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(Qt::red));
    // Let go outside the label: the colour comes back, nothing opens.
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(500, 500));
    EXPECT_EQ(label.FontColor(), QColor(Qt::darkGreen));
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(UrlLabelTest, RightButtonChangesNoColourOpensNothingAndOffersCopy)
{
    label.setText(QStringLiteral("user@example.org"));
    label.SetURL(QStringLiteral("mailto:user@example.org"));
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(label.FontColor(), QColor(0, 0, 255));
    EXPECT_TRUE(opener.opened.empty());

    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(&label, &request);
    EXPECT_TRUE(label.PopupMenu()->isVisible());
    label.PopupMenu()->hide();

    const QList<QAction*> items = label.PopupMenu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Copy"));
    items[0]->trigger();
    // The caption, not the URL.
    EXPECT_EQ(clipboard.texts, std::vector<std::string>{"user@example.org"});
}

} // namespace
} // namespace sarvendo
