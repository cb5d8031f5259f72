// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class QtMessageBoxesTest : public ::testing::Test
{
protected:
    // Answers the box that is about to open with the given button, after looking at it.
    void AnswerWith(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(50, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            parent = box->parentWidget();
            topmost = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            format = box->textFormat();
            box->button(button)->click();
        });
    }

    QWidget owner;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    bool topmost = false;
    Qt::TextFormat format = Qt::AutoText;
};

TEST_F(QtMessageBoxesTest, BoxIsTitledOwnedAndAnswered)
{
    QtMessageBoxes boxes(&owner);
    AnswerWith(QMessageBox::No);
    const MessageResult answer =
        boxes.Show("Do You want to disconnect?", MessageButtons::YesNo, MessageIcon::Warning, MessageStacking::Topmost);
    EXPECT_EQ(answer, MessageResult::No);
    EXPECT_EQ(title, QStringLiteral("Sarvendo for Windows 95"));
    EXPECT_EQ(text, QStringLiteral("Do You want to disconnect?"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(parent, &owner);
    EXPECT_TRUE(topmost);

    AnswerWith(QMessageBox::Ok);
    EXPECT_EQ(boxes.Show("Done.", MessageButtons::Ok, MessageIcon::Error), MessageResult::Ok);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_FALSE(topmost);
}

TEST_F(QtMessageBoxesTest, CarriageReturnsBreakTheBoxsLinesAndTextIsShownAsWritten)
{
    QtMessageBoxes boxes(&owner);
    const struct
    {
        const char* text;
        QString shown;
    } cases[] = {
        {"WELCOME!\r\rAll settings\r\rYou should start. ",
         QStringLiteral("WELCOME!\n\nAll settings\n\nYou should start. ")},
        {"one\r\ntwo\nthree\r", QStringLiteral("one\ntwo\nthree\n")},
        {"<b>/tmp/a&b</b>", QStringLiteral("<b>/tmp/a&b</b>")},
    };
    for (const auto& [sent, shown] : cases) {
        AnswerWith(QMessageBox::Ok);
        boxes.Show(sent, MessageButtons::Ok, MessageIcon::Information);
        EXPECT_EQ(text, shown) << sent;
        EXPECT_EQ(format, Qt::PlainText) << sent;
    }
}

TEST_F(QtMessageBoxesTest, TimersKeepTickingWhileTheBoxIsOpen)
{
    QtMessageBoxes boxes(&owner);
    // The box is answered by the fourth tick itself, so a loaded machine cannot close it
    // before the timer had its chance.
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (++ticks == 4) {
            AnswerWith(QMessageBox::Ok);
        }
    });
    poll.start(5);
    boxes.Show(QStringLiteral("Ä text in UTF-8").toStdString(), MessageButtons::Ok, MessageIcon::Information);
    EXPECT_GT(ticks, 3);
    EXPECT_EQ(text, QStringLiteral("Ä text in UTF-8"));
}

} // namespace
} // namespace sarvendo
