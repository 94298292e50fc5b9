#pragma once
// The frame's voice. Each text is spoken from a short thread of its own, in the multithreaded
// apartment, and cuts off one still being spoken; the frame's thread never waits for the speech
// system. Closing waits for those threads before the voice goes.
#include "Framework/ComPtr.h"
#include "Framework/CriticalSection.h"
#include "Framework/WorkerThread.h"
#include <sapi.h>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>

class CImageEntry;

// What the spoken-rating command says of an entry (null: there is no picture).
std::wstring SpokenRatingText(const CImageEntry* entry);

class CFrameSpeech {
public:
    using VoiceFactory = std::function<HRESULT(ISpVoice** voice)>;
    static constexpr size_t MaxSpokenCharacters = 511;

    // The system's voice, made on first use.
    static HRESULT CreateSystemVoice(ISpVoice** voice);

    explicit CFrameSpeech(VoiceFactory factory = CreateSystemVoice) : m_factory(std::move(factory)) {}
    CFrameSpeech(const CFrameSpeech&) = delete;
    CFrameSpeech& operator=(const CFrameSpeech&) = delete;
    ~CFrameSpeech();

    // Returns at once; an empty text says nothing.
    void SpeakTextAsync(std::wstring_view text);
    // Waits until every text handed over so far has been given to the voice.
    void WaitForSpeechThreads();

private:
    HRESULT Speak(const std::wstring& text);

    VoiceFactory m_factory;
    CriticalSection m_voiceLock;
    ComPtr<ISpVoice> m_voice;  // under m_voiceLock
    std::list<std::unique_ptr<WorkerThread>> m_threads;  // the frame's thread only
};
