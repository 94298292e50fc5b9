// The plug-ins' preferred hot keys join the frame's accelerator table as commands 3000 + index,
// in list order, when no entry has the same key and modifiers yet, and while the table has room.
#include "Viewer/core/ActionPlugInHost.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
struct HotkeyCase {
    const char* name;
    std::vector<ACCEL> frame;        // the frame's table before the merge
    std::vector<DWORD> preferred;    // each plug-in's preferred hot key, in list order
    std::vector<DWORD> assigned;     // each plug-in's assigned hot key after it
    std::vector<ACCEL> added;        // the entries after the frame's own
};

constexpr BYTE kVirtual = FVIRTKEY | FNOINVERT;

const HotkeyCase kCases[] = {
    {"0x257 becomes Ctrl+W", {}, {0x257}, {0x257}, {{kVirtual | FCONTROL, 'W', 3000}}},
    {"shift and alt map to their flags", {}, {0x141, 0x442, 0x743}, {0x141, 0x442, 0x743},
     {{kVirtual | FSHIFT, 'A', 3000}, {kVirtual | FALT, 'B', 3001}, {kVirtual | FSHIFT | FCONTROL | FALT, 'C', 3002}}},
    {"the first of two equal keys gets it, the second keeps its index", {}, {0x257, 0x257, 0x258},
     {0x257, 0, 0x258}, {{kVirtual | FCONTROL, 'W', 3000}, {kVirtual | FCONTROL, 'X', 3002}}},
    {"a key the frame already has is not given", {{FVIRTKEY | FCONTROL, 'W', 1000}}, {0x257, 0x57},
     {0, 0x57}, {{kVirtual, 'W', 3001}}},
    {"no plug-ins: the table is rebuilt as it was", {{FVIRTKEY | FCONTROL, 'W', 1000}}, {}, {}, {}},
};

HACCEL TableOf(const std::vector<ACCEL>& entries)
{
    if (entries.empty()) return nullptr;
    return CreateAcceleratorTableW(const_cast<ACCEL*>(entries.data()), int(entries.size()));
}

std::vector<ACCEL> EntriesOf(HACCEL table)
{
    std::vector<ACCEL> entries(256);
    entries.resize(size_t(CopyAcceleratorTableW(table, entries.data(), 256)));
    return entries;
}

bool operator==(const ACCEL& a, const ACCEL& b)
{
    return (a.fVirt & 0x7F) == (b.fVirt & 0x7F) && a.key == b.key && a.cmd == b.cmd;
}
}  // namespace

TEST(HotkeyMerge, PlugInKeysJoinTheFramesTableByTheRules)
{
    for (const HotkeyCase& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<ActionPlugInRecord> plugIns(c.preferred.size());
        for (size_t i = 0; i < plugIns.size(); ++i) plugIns[i].PreferredHotkey = c.preferred[i];
        const HACCEL frame = TableOf(c.frame);
        const HACCEL merged = MergePlugInHotkeys(frame, plugIns);
        std::vector<ACCEL> expected = c.frame;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        const std::vector<ACCEL> entries = merged ? EntriesOf(merged) : std::vector<ACCEL>{};
        ASSERT_EQ(expected.size(), entries.size());
        for (size_t i = 0; i < entries.size(); ++i) EXPECT_TRUE(expected[i] == entries[i]) << "entry " << i;
        for (size_t i = 0; i < plugIns.size(); ++i) EXPECT_EQ(c.assigned[i], plugIns[i].AssignedHotkey) << i;
        if (frame) DestroyAcceleratorTable(frame);
        if (merged) DestroyAcceleratorTable(merged);
    }
}

TEST(HotkeyMerge, AFullTableIsRebuiltUnchangedAndThePlugInGetsNoKey)
{
    std::vector<ACCEL> full;
    for (WORD i = 0; i < 256; ++i) full.push_back({FVIRTKEY, WORD(0x30 + i % 40), WORD(1000 + i)});
    const HACCEL frame = TableOf(full);
    std::vector<ActionPlugInRecord> plugIns(1);
    plugIns[0].PreferredHotkey = 0x257;
    const HACCEL merged = MergePlugInHotkeys(frame, plugIns);
    EXPECT_EQ(256u, EntriesOf(merged).size());
    EXPECT_EQ(0u, plugIns[0].AssignedHotkey);
    DestroyAcceleratorTable(frame);
    DestroyAcceleratorTable(merged);
}
