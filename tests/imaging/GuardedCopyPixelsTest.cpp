#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "tests/imaging/FakeBitmapSource.h"
#include "tests/imaging/FakeWic.h"
#include "tests/support/ScopedResourceModule.h"
#include <gmock/gmock.h>
#include <string>
#include <thread>

namespace {
struct MessageBoxCall {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// Records what the guard decides after a fault instead of letting it end the test program. The
// copy's checks learn the pixel format's size from the process-wide factory.
class CodecCrashGuard : public WicFactoryTest {
protected:
    void SetUp() override
    {
        WicFactoryTest::SetUp();
        CodecCrashCount = 0;
    }
    void TearDown() override
    {
        CodecCrashCount = 0;
        WicFactoryTest::TearDown();
    }

    std::vector<MessageBoxCall> boxes;
    std::vector<UINT> processEnds;
    std::vector<DWORD> threadEnds;
    ScopedModalSeam seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t* caption,
                             UINT type) { boxes.push_back({text, caption, type}); return IDOK; },
        .endProcess = [this](UINT code) { processEnds.push_back(code); },
        .endCurrentThread = [this](DWORD code) { threadEnds.push_back(code); },
    }};
    DecodeThreadContext context{nullptr};
    FakeBitmapSource source{4, 4, GUID_WICPixelFormat32bppPBGRA, 4};
    std::vector<BYTE> buffer = std::vector<BYTE>(64);
    const WICRect rect = {0, 0, 4, 4};

    HRESULT Copy(bool raw = false)
    {
        return GuardedCopyPixels(&context, raw, L"C:\\pictures\\broken.nef", &source, &rect, 16, 64, buffer.data());
    }
};
}

TEST_F(CodecCrashGuard, PassesTheCopyAndItsResultThrough)
{
    source.pixels.assign(64, 0x5A);
    EXPECT_EQ(S_OK, Copy());
    EXPECT_EQ(source.pixels, buffer);
    source.failAtCopy = 1;
    EXPECT_EQ(E_FAIL, Copy());
    EXPECT_EQ(E_INVALIDARG, GuardedCopyPixels(&context, false, L"x", nullptr, &rect, 16, 64, buffer.data()));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0, CodecCrashCount);
}

TEST_F(CodecCrashGuard, ACopyThatWouldWritePastItsBufferIsRefusedBeforeTheCodecIsAsked)
{
    struct Case {
        const char* name;
        WICRect rect;
        UINT stride;
        UINT bufferSize;
        bool nullBuffer;
        HRESULT expected;
    } cases[] = {
        {"the whole picture", rect, 16, 64, false, S_OK},
        {"no buffer", rect, 16, 64, true, E_INVALIDARG},
        {"a stride shorter than a row", rect, 15, 64, false, E_INVALIDARG},
        {"a buffer one byte short", rect, 16, 63, false, E_INVALIDARG},
        {"a rectangle wider than the picture", {0, 0, 5, 4}, 20, 80, false, E_INVALIDARG},
        {"a rectangle below the picture", {0, 1, 4, 4}, 16, 64, false, E_INVALIDARG},
        {"a negative width", {0, 0, -1, 4}, 16, 64, false, E_INVALIDARG},
        {"stride times height beyond 32 bits", rect, 0x40000000, 0xFFFFFFFF, false, WicValueOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        source.copies.clear();
        EXPECT_EQ(c.expected, GuardedCopyPixels(&context, false, L"x.bmp", &source, &c.rect, c.stride, c.bufferSize,
                                                c.nullBuffer ? nullptr : buffer.data()));
        EXPECT_EQ(c.expected == S_OK ? 1u : 0u, source.copies.size()) << "the codec was asked only when it was safe";
    }
    EXPECT_EQ(0, CodecCrashCount);
}

TEST_F(CodecCrashGuard, GuardsNestAndAFaultEndsAtTheInnermost)
{
    source.faultInCopy = true;
    const bool raw = false;
    int innerResults = 0;
    const HRESULT outer = RunCodecGuarded(&context, raw, L"outer.jpg", [&]() -> HRESULT {
        innerResults += Copy() == CodecFaultResult;
        return S_FALSE;
    });
    EXPECT_EQ(S_FALSE, outer) << "the outer guard's call went on after the inner fault";
    EXPECT_EQ(1, innerResults);
    // The outer guard is armed again once the inner one has ended.
    const HRESULT faulted = RunCodecGuarded(&context, raw, L"outer.jpg", [&]() -> HRESULT {
        Copy();
        volatile uintptr_t wild = 0x10;
        *reinterpret_cast<volatile int*>(wild) = 1;
        return S_OK;
    });
    EXPECT_EQ(CodecFaultResult, faulted);
    EXPECT_EQ(3, CodecCrashCount);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_THAT(threadEnds, testing::ElementsAre(0xFFFFFFFFu, 0xFFFFFFFFu));
}

TEST_F(CodecCrashGuard, FirstFaultTellsTheUserAndEndsTheProcess)
{
    source.faultInCopy = true;
    EXPECT_EQ(HRESULT_FROM_WIN32(574), Copy(true));
    EXPECT_EQ(1, CodecCrashCount);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(UINT(MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST), boxes[0].type);
    EXPECT_EQ(0x42010u, boxes[0].type);
    EXPECT_EQ(std::wstring(context.CrashCaption()), boxes[0].caption);
    EXPECT_THAT(boxes[0].text, testing::EndsWith(context.CrashRawCodecEnding()));
    EXPECT_THAT(processEnds, testing::ElementsAre(0xFFFFFFFFu));
    EXPECT_TRUE(threadEnds.empty());
}

TEST_F(CodecCrashGuard, LaterFaultsEndOnlyTheirOwnThread)
{
    source.faultInCopy = true;
    Copy();
    std::thread worker([this] { EXPECT_EQ(HRESULT_FROM_WIN32(574), Copy()); });
    worker.join();
    EXPECT_EQ(2, CodecCrashCount);
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ(1u, processEnds.size());
    EXPECT_THAT(threadEnds, testing::ElementsAre(0xFFFFFFFFu));
}

TEST_F(CodecCrashGuard, TheThreadWorksOnNormallyAfterAFault)
{
    source.faultInCopy = true;
    Copy();
    // Exceptions still unwind on this thread, and a guard armed again still catches.
    EXPECT_EQ(E_ABORT, CatchAsHResult([]() -> HRESULT { throw HResultError(E_ABORT); }));
    Copy();
    EXPECT_EQ(2, CodecCrashCount);
    source.faultInCopy = false;
    EXPECT_EQ(S_OK, Copy());
}

using CodecCrashMessage = WicFactoryTest;

TEST_F(CodecCrashMessage, NamesTheFileAndTheKindOfCodecInTheUsersLanguage)
{
    const ScopedResourceModule strings(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(strings.Loaded());
    CodecCrashCount = 0;
    std::vector<MessageBoxCall> boxes;
    ScopedModalSeam seam{ModalSeam{
        .messageBox = [&boxes](HWND, const wchar_t* text, const wchar_t* caption,
                               UINT type) { boxes.push_back({text, caption, type}); return IDOK; },
        .endProcess = [](UINT) {},
    }};
    DecodeThreadContext context(nullptr);
    FakeBitmapSource source(2, 2, GUID_WICPixelFormat32bppPBGRA, 4);
    source.faultInCopy = true;
    BYTE buffer[16];
    const WICRect rect = {0, 0, 2, 2};
    GuardedCopyPixels(&context, false, L"D:\\shoot\\IMG_0001.JPG", &source, &rect, 8, 16, buffer);
    CodecCrashCount = 0;
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Lumenfold", boxes[0].caption);
    EXPECT_EQ(L"The picture decoder crashed while reading\r\nD:\\shoot\\IMG_0001.JPG\r\n\r\n" +
                  LoadResourceString(10027),
              boxes[0].text);
}

namespace {
constexpr DWORD ForeignCppException = 0xE06D7363;

// Stands in for a codec's own catch of an exception it raised: resumes after the raise.
LONG CALLBACK CodecCatchesItsOwn(EXCEPTION_POINTERS* exception)
{
    return exception->ExceptionRecord->ExceptionCode == ForeignCppException ? EXCEPTION_CONTINUE_EXECUTION
                                                                             : EXCEPTION_CONTINUE_SEARCH;
}

// A codec that throws and catches inside its copy, as codecs written in C++ do.
class SelfCatchingSource : public FakeBitmapSource {
public:
    SelfCatchingSource() : FakeBitmapSource(4, 4, GUID_WICPixelFormat32bppPBGRA, 4) {}
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        RaiseException(ForeignCppException, 0, 0, nullptr);
        try {
            throw HResultError(E_FAIL);
        } catch (const HResultError&) {
        }
        return FakeBitmapSource::CopyPixels(rect, stride, size, buffer);
    }
};
}

TEST_F(CodecCrashGuard, ExceptionsACodecCatchesItselfAreNotCrashes)
{
    Copy();  // arms the guard's handler before the codec's own is added behind it
    CodecCrashCount = 0;
    boxes.clear();
    processEnds.clear();
    PVOID codecHandler = AddVectoredExceptionHandler(0, CodecCatchesItsOwn);
    SelfCatchingSource codec;
    EXPECT_EQ(S_OK, GuardedCopyPixels(&context, false, L"x.jpg", &codec, &rect, 16, 64, buffer.data()));
    RemoveVectoredExceptionHandler(codecHandler);
    EXPECT_EQ(0, CodecCrashCount);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(processEnds.empty());
}

namespace {
// A codec that recurses without end.
class OverflowingSource : public FakeBitmapSource {
public:
    OverflowingSource() : FakeBitmapSource(4, 4, GUID_WICPixelFormat32bppPBGRA, 4) {}
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        return Recurse(rect, stride, size, buffer, 0);
    }

private:
    __attribute__((noinline)) HRESULT Recurse(const WICRect* rect, UINT stride, UINT size, BYTE* buffer, int depth)
    {
        volatile BYTE block[4096];
        block[0] = BYTE(depth);
        if (depth == m_deeperThanAnyStack) return S_OK;
        const HRESULT hr = Recurse(rect, stride, size, buffer, depth + 1);
        return hr + block[0];
    }

    volatile int m_deeperThanAnyStack = INT_MAX;
};
}

TEST_F(CodecCrashGuard, AStackOverflowInTheCodecIsCaughtOnAThreadOfItsOwn)
{
    std::thread worker([this] {
        OverflowingSource codec;
        EXPECT_EQ(HRESULT_FROM_WIN32(574), GuardedCopyPixels(&context, false, L"deep.jpg", &codec, &rect, 16, 64,
                                                             buffer.data()));
    });
    worker.join();
    EXPECT_EQ(1, CodecCrashCount);
    EXPECT_EQ(1u, processEnds.size());
}
