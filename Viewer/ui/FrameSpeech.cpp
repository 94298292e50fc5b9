#include "Viewer/ui/FrameSpeech.h"
#include "Viewer/engine/ImageEntry.h"

namespace {
constexpr DWORD kSpeakFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML;
// The voice class of the system's speech component.
constexpr CLSID kSpVoiceClass = {0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
}

std::wstring SpokenRatingText(const CImageEntry* entry)
{
    if (!entry) return L"No image!";
    std::wstring text;
    const auto add = [&text](const wchar_t* word, int32_t value) {
        if (value < 1) return;
        if (!text.empty()) text += L", ";
        text += word + std::to_wstring(value);
    };
    add(L"Rated ", entry->rating);
    add(L"Label ", entry->label);
    add(L"Urgency ", entry->urgency);
    return text.empty() ? L"Unrated" : text;
}

HRESULT CFrameSpeech::CreateSystemVoice(ISpVoice** voice)
{
    return CoCreateInstance(kSpVoiceClass, nullptr, CLSCTX_ALL, __uuidof(ISpVoice), reinterpret_cast<void**>(voice));
}

CFrameSpeech::~CFrameSpeech()
{
    WaitForSpeechThreads();
}

void CFrameSpeech::WaitForSpeechThreads()
{
    for (auto& thread : m_threads) thread->Join();
    m_threads.clear();
}

void CFrameSpeech::SpeakTextAsync(std::wstring_view text)
{
    m_threads.remove_if([](const std::unique_ptr<WorkerThread>& thread) { return !thread->Running(); });
    if (text.empty()) return;
    std::wstring spoken(text.substr(0, MaxSpokenCharacters));
    auto thread = std::make_unique<WorkerThread>();
    if (SUCCEEDED(thread->Start(
            L"speech", [this, spoken = std::move(spoken)](WorkerThread&) { return Speak(spoken); },
            WorkerApartment::MultiThreaded)))
        m_threads.push_back(std::move(thread));
}

HRESULT CFrameSpeech::Speak(const std::wstring& text)
{
    CriticalSectionScope lock(m_voiceLock);
    // A voice that cannot be made is tried again with the next text.
    if (!m_voice) {
        const HRESULT made = m_factory(&m_voice);
        if (FAILED(made)) return made;
    }
    return m_voice->Speak(text.c_str(), kSpeakFlags, nullptr);
}
