#include "Viewer/imaging/PageCommit.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace {
constexpr size_t Bytes = 16u << 20;

struct VirtualFree_ {
    void operator()(void* memory) const { VirtualFree(memory, 0, MEM_RELEASE); }
};

size_t PageSize()
{
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    return system.dwPageSize;
}

// Pages of the range that are present in the process's memory.
size_t PresentPages(const uint8_t* start, size_t bytes)
{
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages(bytes / PageSize());
    for (size_t i = 0; i < pages.size(); ++i) pages[i].VirtualAddress = const_cast<uint8_t*>(start + i * PageSize());
    if (!QueryWorkingSetEx(GetCurrentProcess(), pages.data(), DWORD(pages.size() * sizeof(pages[0])))) return 0;
    size_t present = 0;
    for (const auto& page : pages) present += page.VirtualAttributes.Valid ? 1 : 0;
    return present;
}

TEST(PageCommitTest, FreshPagesArePresentAfterOneCallAndWhatIsWrittenStays)
{
    const std::unique_ptr<void, VirtualFree_> memory(
        VirtualAlloc(nullptr, Bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, memory);
    auto* bytes = static_cast<uint8_t*>(memory.get());
    // A few pages already written, as in a buffer that is reused: their contents must survive.
    for (size_t offset = 0; offset < Bytes; offset += 1u << 20) bytes[offset] = 0x5A;

    if (CommitPagesAtOnce(bytes, Bytes)) {
        EXPECT_EQ(Bytes / PageSize(), PresentPages(bytes, Bytes));
    }
    for (size_t offset = 0; offset < Bytes; offset += PageSize())
        ASSERT_EQ(offset % (1u << 20) == 0 ? 0x5A : 0, bytes[offset]) << offset;
    // Still writable everywhere, the last byte included.
    bytes[Bytes - 1] = 1;
    EXPECT_EQ(1, bytes[Bytes - 1]);
}

TEST(PageCommitTest, NoRangeIsNoCommit)
{
    uint8_t byte = 0;
    EXPECT_FALSE(CommitPagesAtOnce(nullptr, Bytes));
    EXPECT_FALSE(CommitPagesAtOnce(&byte, 0));
}
}  // namespace
