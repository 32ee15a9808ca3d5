// SPDX-License-Identifier: MIT
// Message boxes through the providers: answers, defaults, and the line on standard error.
#include "desktop/plain.h"
#include "desktop/scripted.h"

#include <win32/win32.h>

#include <gtest/gtest.h>

namespace vexil::desktop {
namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { reset_scripted_provider(); }
};

TEST_F(MessageBoxTest, EveryBoxIsWrittenToStandardError)
{
    ::testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "Something failed.", "Error", MB_ICONERROR);
    MessageBoxA(nullptr, nullptr, nullptr, MB_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Something failed.\nError: \n");
}

TEST_F(MessageBoxTest, ScriptedAnswersComeInOrderThenTheDefaultButton)
{
    queue_message_box_answer(IDNO);
    queue_message_box_answer(IDCANCEL);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "1", "Ask", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "2", "Ask", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "3", "Ask", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "4", "Tell", MB_OK), IDOK);
    ::testing::internal::GetCapturedStderr();
    const std::vector<RecordedBox> boxes = take_recorded_boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "Ask");
    EXPECT_EQ(boxes[0].text, "1");
    EXPECT_EQ(boxes[2].answer, IDNO);
    EXPECT_EQ(boxes[3].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(take_recorded_boxes().empty());
}

TEST(DefaultButtonTest, IsTheChosenDefaultOfTheButtonSet)
{
    struct Case {
        UINT type;
        int button;
    };
    for (const Case& c : {Case{MB_OK, IDOK}, Case{MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                          Case{MB_YESNO | MB_DEFBUTTON3, IDYES}, Case{MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
                          Case{MB_RETRYCANCEL, IDRETRY}, Case{0xF, IDOK}}) {
        EXPECT_EQ(default_button(c.type), c.button) << c.type;
        MessageBoxRequest request;
        request.type = c.type;
        EXPECT_EQ(plain_provider().message_box(request), c.button);
    }
}

} // namespace
} // namespace vexil::desktop
