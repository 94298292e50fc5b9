#include "Viewer/ui/FrameSpeech.h"
#include "Framework/ComPtr.h"
#include "Viewer/engine/ImageEntry.h"
#include "tests/support/ScopedComApartment.h"
#include "tests/ui/FakeVoice.h"
#include <gtest/gtest.h>

namespace {
TEST(SpokenRatingTextTest, TheSetValuesAreSaidInOrderOrUnrated)
{
    EXPECT_EQ(L"No image!", SpokenRatingText(nullptr));
    const struct {
        int32_t rating, label, urgency;
        const wchar_t* spoken;
    } cases[] = {
        {4, 2, -1, L"Rated 4, Label 2"},
        {-1, -1, 1, L"Urgency 1"},
        {0, -1, 0, L"Unrated"},
        {5, 7, 3, L"Rated 5, Label 7, Urgency 3"},
    };
    for (const auto& c : cases) {
        EntryRef entry = MakeEntry(nullptr, std::wstring(L"C:\\a"), nullptr, 0, 1, L"jpg", false);
        entry->rating = c.rating;
        entry->label = c.label;
        entry->urgency = c.urgency;
        EXPECT_EQ(c.spoken, SpokenRatingText(entry.Get()));
    }
}

TEST(FrameSpeechTest, OneVoiceSpeaksEachTextCutToItsLengthCuttingOffTheOneBefore)
{
    const ScopedComApartment apartment;
    ComPtr<ISpVoice> voice;
    ASSERT_EQ(S_OK, ComObject<FakeVoice>::Create(nullptr, __uuidof(ISpVoice), voice.AsVoid()));
    int made = 0;
    int failuresLeft = 1;
    CFrameSpeech speech([&](ISpVoice** out) {
        if (failuresLeft-- > 0) return REGDB_E_CLASSNOTREG;
        ++made;
        *out = ComPtr<ISpVoice>(voice).Detach();
        return S_OK;
    });
    speech.SpeakTextAsync(L"lost: the voice could not be made");
    speech.WaitForSpeechThreads();
    speech.SpeakTextAsync(std::wstring(600, L'x'));
    speech.WaitForSpeechThreads();
    speech.SpeakTextAsync(L"Rated 3");
    speech.SpeakTextAsync(L"");
    speech.WaitForSpeechThreads();

    const auto spoken = static_cast<FakeVoice*>(voice.Get())->SpokenSoFar();
    ASSERT_EQ(2u, spoken.size());
    EXPECT_EQ(std::wstring(511, L'x'), spoken[0].text);
    EXPECT_EQ(L"Rated 3", spoken[1].text);
    for (const auto& said : spoken) EXPECT_EQ(19u, said.flags);
    EXPECT_EQ(1, made) << "the voice is made once and kept";
}
}
