// The message box and clipboard outputs on the offscreen platform.

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

#include "app/qt/CClipboard.h"
#include "app/qt/CTextOutBox.h"

namespace {

// Answers every box with a chosen button and remembers what the box showed.
class AnsweringBox : public CTextOutBox {
public:
    struct Shown {
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };
    std::vector<Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

protected:
    QMessageBox::StandardButton Exec(QMessageBox& box) override {
        shown.push_back({box.text(), box.standardButtons(), box.icon()});
        return answer;
    }
};

} // namespace

TEST(TextOutBox, ReportShowsTheCodesTextWithOkAndNoIcon) {
    AnsweringBox box;
    box.Report(1);
    box.Report(7);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text, "This file could not be loaded.");
    EXPECT_EQ(box.shown[1].text, "Undefined error.");
    EXPECT_EQ(box.shown[1].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.shown[1].icon, QMessageBox::NoIcon);
}

TEST(TextOutBox, AskShowsTheQuestionWithTheRequestedButtonsAndIcon) {
    AnsweringBox box;
    box.answer = QMessageBox::Cancel;
    EXPECT_EQ(box.Ask(1, 14, 0), 1);
    box.answer = QMessageBox::Ok;
    EXPECT_EQ(box.Ask(1, 14, 0), 0);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].text, "Are you sure?");
    EXPECT_EQ(box.shown[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.shown[0].icon, QMessageBox::Question);

    box.answer = QMessageBox::No;
    EXPECT_EQ(box.Ask(3, 99, 2), 3);
    EXPECT_EQ(box.shown.back().text, "Undefined error.");
    EXPECT_EQ(box.shown.back().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.shown.back().icon, QMessageBox::Critical);
}

TEST(TextOutBox, AskArgumentsOutsideTheirRangesFallBackToOkAndNoIcon) {
    EXPECT_EQ(CTextOutBox::AskButtons(2), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(CTextOutBox::AskButtons(-1), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(CTextOutBox::AskButtons(4), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(CTextOutBox::AskIcon(1), QMessageBox::Warning);
    EXPECT_EQ(CTextOutBox::AskIcon(3), QMessageBox::NoIcon);
    EXPECT_EQ(CTextOutBox::AskAnswer(QMessageBox::Yes), 2);
    EXPECT_EQ(CTextOutBox::AskAnswer(QMessageBox::NoButton), 0);
}

TEST(TextOutBox, EachWriteShowsOneBoxWithTheWholeText) {
    AnsweringBox box;
    box.Write("Unknown tag. : panell\nUnable to read script.\n");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Unknown tag. : panell\nUnable to read script.\n");
}

TEST(ClipboardOutput, WriteReplacesTheClipboardText) {
    CClipboard clipboard;
    clipboard.Write("F0 41 10 00 F7");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "F0 41 10 00 F7");
    clipboard.Write("");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}
