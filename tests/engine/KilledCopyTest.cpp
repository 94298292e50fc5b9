#include "Framework/UniqueHandle.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>

namespace {
constexpr DWORD ChunkBytes = 1 << 20;
constexpr DWORD Chunks = 256;

// The word at each position of the generated picture: its own index, so that a gap or a shifted
// block shows.
std::vector<uint32_t> Chunk(DWORD index)
{
    std::vector<uint32_t> words(ChunkBytes / sizeof(uint32_t));
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint32_t>(index * words.size() + i);
    return words;
}

void WriteLargeFile(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    for (DWORD index = 0; index < Chunks; ++index) {
        const std::vector<uint32_t> words = Chunk(index);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), words.data(), ChunkBytes, &written, nullptr));
    }
}

// Missing, or present and whole; anything else is a partial file.
enum class State { Missing, Whole, Partial };

State StateOf(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND ? State::Missing : State::Partial;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart != LONGLONG(ChunkBytes) * Chunks) return State::Partial;
    std::vector<uint32_t> words(ChunkBytes / sizeof(uint32_t));
    for (DWORD index = 0; index < Chunks; ++index) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), words.data(), ChunkBytes, &read, nullptr) || read != ChunkBytes) return State::Partial;
        if (words != Chunk(index)) return State::Partial;
    }
    return State::Whole;
}

// A killed copy may leave its temporary file behind, under a name of its own.
void RemoveTemporaryCopies(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\lfk*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

UniqueHandle StartProbe(const std::wstring& source, const std::wstring& target, bool move)
{
    std::wstring commandLine = L"\"" + TestProgramFolder() + L"\\keepcopyprobe.exe\" \"" + source + L"\" \"" + target +
                               L"\" " + (move ? L"move" : L"copy");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return UniqueHandle();
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// A keep copy killed at any moment leaves the picture whole at its source or, for a move that got
// that far, at its target, and never a partial file under the target's name.
TEST(KilledCopyTest, AKilledCopyOrMoveNeverLeavesAPartialPictureOrLosesIt)
{
    TempFolder folder;
    const std::wstring source = folder.File(L"big.jpg");
    const std::wstring target = folder.File(L"keep\\big.jpg");
    CreateDirectoryW(folder.File(L"keep").c_str(), nullptr);
    WriteLargeFile(source);
    ASSERT_EQ(State::Whole, StateOf(source));

    for (const bool move : {false, true}) {
        for (const DWORD moment : {0u, 30u, 100u, 250u, 600u, 1500u, 5000u}) {
            const std::string run = (move ? "move killed after " : "copy killed after ") + std::to_string(moment) + " ms";
            UniqueHandle probe = StartProbe(source, target, move);
            ASSERT_TRUE(probe) << run;
            WaitForSingleObject(probe.Get(), moment);
            TerminateProcess(probe.Get(), 99);
            WaitForSingleObject(probe.Get(), INFINITE);

            const State atSource = StateOf(source);
            const State atTarget = StateOf(target);
            EXPECT_NE(State::Partial, atTarget) << run;
            EXPECT_NE(State::Partial, atSource) << run;
            EXPECT_TRUE(atSource == State::Whole || atTarget == State::Whole) << run;
            // Back to the start: the picture at its source, no target.
            if (atSource == State::Missing) {
                ASSERT_TRUE(MoveFileW(target.c_str(), source.c_str())) << run;
            }
            DeleteFileW(target.c_str());
            RemoveTemporaryCopies(folder.File(L"keep"));
        }
    }
}
}
