#include "Viewer/ui/FrameRatingCommands.h"
#include "Framework/ResourceModule.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/FrameTest.h"
#include <gtest/gtest.h>

namespace {
struct RefusalCase {
    DWORD rating, labelling, urgency, convention;
    int digit;
    bool shift, control;
    UINT refusal;
};

const RefusalCase RefusalCases[] = {
    {0, 0, 0, 0, 3, false, false, 10078},
    {0, 0, 1, 0, 3, true, false, 10079},   // labels off comes before rating off
    {1, 1, 1, 0, 7, true, false, 10080},
    {1, 1, 1, 1, 7, true, false, 0},
    {1, 1, 0, 2, 2, false, true, 10081},
    {1, 0, 0, 2, 2, false, true, 10082},
    {0, 1, 1, 1, 2, true, false, 10083},   // no label without rating
    {1, 0, 0, 0, 7, false, false, 10084},
    {1, 0, 0, 0, 5, false, false, 0},
    {1, 1, 1, 1, 9, true, true, 0},
};

class FrameRatingCommandsTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        AppSettings::EnableRating = 1;
        AppSettings::EnableLabelling = 1;
        AppSettings::EnableUrgency = 1;
        AppSettings::LabellingConvention = 1;
        // Nowhere to store: every write that reaches the writer shows one box, which counts it.
        AppSettings::CreateSidecarFiles = 0;
        AppSettings::EmbedMetadata = 0;
        AppSettings::PrefixFileNamesWithRating = 0;
    }
    void TearDown() override
    {
        AppSettings::EnableRating = AppSettings::EnableLabelling = AppSettings::EnableUrgency = 0;
        AppSettings::LabellingConvention = 0;
        AppSettings::EnableRatingAutoAdvance = 0;
        FrameTest::TearDown();
    }

    // The digit's command with the keys held as the message was queued; waits for the write.
    void Press(int digit, bool shift = false, bool control = false)
    {
        m_shift = shift;
        m_control = control;
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_RATE_0 + digit, 1), 0);
        m_frame.RatingCommands().Writer().WaitForEntry(Current());
    }
    CImageEntry* Current() { return m_frame.Engine().GetCurrentEntry(true); }
    size_t Writes() const
    {
        size_t count = 0;
        for (const MessageBoxCall& call : m_boxes) count += call.text == LoadResourceString(10171);
        return count;
    }

    // Boxes of the frame and of the writer's thread (read once the writer is done), and the keys
    // as the digit's message was queued.
    std::vector<MessageBoxCall> m_boxes;
    bool m_shift = false;
    bool m_control = false;
    const ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
            m_boxes.push_back({owner, text, caption, type});
            return IDOK;
        },
        .keyState = [this](int key) -> SHORT {
            return (key == VK_SHIFT && m_shift) || (key == VK_CONTROL && m_control) ? SHORT(0x8000) : SHORT(0);
        }}};
};
}

TEST(RatingRefusalTest, TheChecksGoInTheirOrder)
{
    for (const RefusalCase& c : RefusalCases) {
        AppSettings::EnableRating = c.rating;
        AppSettings::EnableLabelling = c.labelling;
        AppSettings::EnableUrgency = c.urgency;
        AppSettings::LabellingConvention = c.convention;
        EXPECT_EQ(c.refusal, RatingRefusal(c.digit, c.shift, c.control))
            << c.rating << c.labelling << c.urgency << " convention " << c.convention << " digit " << c.digit
            << (c.shift ? " shift" : "") << (c.control ? " ctrl" : "");
    }
    AppSettings::EnableRating = AppSettings::EnableLabelling = AppSettings::EnableUrgency = 0;
    AppSettings::LabellingConvention = 0;
}

TEST_F(FrameRatingCommandsTest, ARepeatWithinASecondIsWrittenOnce)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg", L"b.jpg"});
    Press(3);
    Press(3);
    EXPECT_EQ(3, Current()->rating);
    EXPECT_EQ(1u, Writes());
    Press(4);
    EXPECT_EQ(4, Current()->rating);
    EXPECT_EQ(2u, Writes());
    // Older than a second: written again.
    Current()->lastRatingTime -= 20'000'000;
    Press(4);
    EXPECT_EQ(3u, Writes());
}

TEST_F(FrameRatingCommandsTest, ShiftAndControlAsQueuedWithTheDigitChooseTheKind)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg", L"b.jpg"});
    Press(7, true);
    EXPECT_EQ(7, Current()->label);
    EXPECT_EQ(-1, Current()->rating);
    Press(2, false, true);
    EXPECT_EQ(2, Current()->urgency);
    Press(5, true, true);
    EXPECT_EQ(5, Current()->label);
    EXPECT_EQ(5, Current()->urgency);
    EXPECT_EQ(3u, Writes());

    AppSettings::LabellingConvention = 0;
    Press(7, true);
    ASSERT_FALSE(m_boxes.empty());
    EXPECT_EQ(LoadResourceString(10080), m_boxes.back().text);
    EXPECT_EQ(LoadResourceString(100), m_boxes.back().caption);
    EXPECT_EQ(5, Current()->label);
}

TEST_F(FrameRatingCommandsTest, OnlyRatingsAdvanceToTheNextPicture)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg", L"b.jpg", L"c.jpg"});
    AppSettings::EnableRatingAutoAdvance = 1;
    Press(2, true);
    PumpFor(100);
    EXPECT_EQ(1u, m_frame.Engine().GetCurrentPosition());
    Press(2);
    for (int i = 0; i < 50 && m_frame.Engine().GetCurrentPosition() == 1; ++i) PumpFor(20);
    EXPECT_EQ(2u, m_frame.Engine().GetCurrentPosition());
}
