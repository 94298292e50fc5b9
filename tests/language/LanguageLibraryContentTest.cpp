#include <gmock/gmock.h>
#include <windows.h>
#include <shlwapi.h>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "tests/language/LanguageFiles.h"

namespace {

using testing::HasSubstr;

// The English library, loaded as the viewer loads it: as data.
class EnglishLibraryTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadLibraryExW(SignedEnglishLibrary().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, m_library);
    }
    void TearDown() override
    {
        if (m_library) FreeLibrary(m_library);
    }

    std::wstring String(UINT id) const
    {
        const wchar_t* text = nullptr;
        int length = LoadStringW(m_library, id, reinterpret_cast<wchar_t*>(&text), 0);
        return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
    }

    HMODULE m_library = nullptr;
};

// The strings that the windows, dialogs and messages of the program ask for by number.
std::set<UINT> RequiredStringIds()
{
    std::set<UINT> ids = {100, 102, 1125, 10000, 10001, 10003, 10010, 10143, 10153, 10165, 10170, 10184, 10185, 10187,
                          20000};
    const std::pair<UINT, UINT> ranges[] = {{10011, 10044}, {10049, 10058}, {10060, 10143},
                                            {10155, 10160}, {10171, 10180}, {10182, 10183}};
    for (auto [first, last] : ranges)
        for (UINT id = first; id <= last; ++id) ids.insert(id);
    return ids;
}

TEST_F(EnglishLibraryTest, HoldsEveryStringTheProgramAsksFor)
{
    for (UINT id : RequiredStringIds()) EXPECT_FALSE(String(id).empty()) << "string " << id;
    EXPECT_EQ(L"Lumenfold", String(100));
    EXPECT_GT(_wtoi(String(20000).c_str()), 0) << "the caption margin is a number";
}

// Every "%" conversion of every string, in order: the contract between a text and its callers.
std::vector<std::wstring> Conversions(const std::wstring& format)
{
    std::vector<std::wstring> conversions;
    static const std::wregex conversion(L"%[-+ #0]*[0-9]*(?:\\.[0-9]+)?(l|h|ll|I64)?([a-zA-Z%])");
    for (std::wsregex_iterator it(format.begin(), format.end(), conversion), end; it != end; ++it)
        if ((*it)[2] != L"%") conversions.push_back((*it)[1].str() + (*it)[2].str());
    return conversions;
}

TEST_F(EnglishLibraryTest, FormattedStringsTakeExactlyTheirCallersArguments)
{
    const std::map<UINT, std::vector<std::wstring>> formats = {
        {10021, {L"X"}},        {10025, {L"ls"}},       {10029, {L"X"}},         {10030, {L"X"}},
        {10056, {L"X"}},        {10070, {L"u"}},        {10071, {L"u"}},         {10072, {L"u"}},
        {10112, {L"ls", L"ls"}}, {10142, {L"ls"}},      {10153, {L"ls", L"X"}},  {10173, {L"ls", L"X"}},
        {10175, {L"ls"}},       {10176, {L"ls"}},       {10180, {L"X", L"ls"}},  {10182, {L"ls"}},
        {10183, {L"ls", L"ls", L"u"}},
    };
    for (UINT id : RequiredStringIds()) {
        auto expected = formats.find(id);
        EXPECT_EQ(expected == formats.end() ? std::vector<std::wstring>() : expected->second, Conversions(String(id)))
            << "string " << id;
    }
}

TEST_F(EnglishLibraryTest, TextArgumentsAreWideWithBothFormatters)
{
    wchar_t text[512];
    swprintf(text, 512, String(10183).c_str(), L"C:\\a.jpg", L"C:\\{3}a.jpg", 5u);
    EXPECT_THAT(std::wstring(text), HasSubstr(L"C:\\a.jpg"));
    EXPECT_THAT(std::wstring(text), HasSubstr(L"C:\\{3}a.jpg"));
    EXPECT_THAT(std::wstring(text), HasSubstr(L"5"));

    wnsprintfW(text, 512, String(10180).c_str(), 0x800B0100u, L"Wallpaper.Action");
    EXPECT_THAT(std::wstring(text), HasSubstr(L"0x800B0100"));
    EXPECT_THAT(std::wstring(text), HasSubstr(L"Wallpaper.Action"));
}

TEST_F(EnglishLibraryTest, TheFrameKeysReachTheirCommands)
{
    HACCEL table = LoadAcceleratorsW(m_library, MAKEINTRESOURCEW(102));
    ASSERT_NE(nullptr, table);
    std::vector<ACCEL> keys(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, keys.data(), static_cast<int>(keys.size()));
    DestroyAcceleratorTable(table);
    auto command = [&](BYTE modifiers, WORD key) {
        for (const ACCEL& accel : keys)
            if (accel.key == key && (accel.fVirt & ~FNOINVERT) == (FVIRTKEY | modifiers)) return accel.cmd;
        return WORD(0);
    };
    for (WORD digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(2000 + digit, command(0, '0' + digit));
        EXPECT_EQ(2000 + digit, command(FSHIFT, '0' + digit)) << "colour label " << digit;
        EXPECT_EQ(2000 + digit, command(FCONTROL, '0' + digit)) << "urgency " << digit;
    }
    for (WORD n = 0; n < 12; ++n) EXPECT_EQ(2160 + n, command(FCONTROL, VK_F1 + n)) << "Ctrl+F" << n + 1;
    EXPECT_EQ(1006, command(0, VK_NEXT));
    EXPECT_EQ(1005, command(0, VK_PRIOR));
    EXPECT_EQ(1007, command(0, VK_HOME));
    EXPECT_EQ(1008, command(0, VK_END));
    EXPECT_EQ(1072, command(0, VK_ESCAPE));
    EXPECT_EQ(0, command(0, VK_LEFT)) << "the arrow keys belong to the view";
}

std::set<UINT> MenuCommands(HMENU menu)
{
    std::set<UINT> commands;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            std::set<UINT> inner = MenuCommands(sub);
            commands.insert(inner.begin(), inner.end());
        } else {
            commands.insert(GetMenuItemID(menu, i));
        }
    }
    return commands;
}

TEST_F(EnglishLibraryTest, ContextMenusCarryTheCommandsTheirWindowsHandle)
{
    const std::map<UINT, std::vector<UINT>> menus = {
        {237, {1025, 1030}},
        {240, {1025, 1030}},
        {243, {32845, 32870, 32872}},
        {244, {32843, 1073, 1025, 1030, 32845, 1131, 1137, 1105, 32859, 1108, 32858, 2100, 2109, 2150, 2159, 32862,
               32863, 32865}},
        {246, {1980, 1981, 1982, 1983}},
        {247, {1980, 1985}},
    };
    for (const auto& [id, commands] : menus) {
        HMENU menu = LoadMenuW(m_library, MAKEINTRESOURCEW(id));
        ASSERT_NE(nullptr, menu) << "menu " << id;
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(nullptr, popup) << "menu " << id;
        std::set<UINT> present = MenuCommands(popup);
        for (UINT command : commands) EXPECT_TRUE(present.count(command)) << "menu " << id << " command " << command;
        DestroyMenu(menu);
    }
    HMENU editors = LoadMenuW(m_library, MAKEINTRESOURCEW(246));
    EXPECT_EQ(6, GetMenuItemCount(GetSubMenu(editors, 0))) << "the editors list removes the items at 4 and 5";
    DestroyMenu(editors);
}

INT_PTR CALLBACK AcceptDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(EnglishLibraryTest, TheImagingMissingTemplateHasItsLinksAndButton)
{
    HWND dialog = CreateDialogParamW(m_library, MAKEINTRESOURCEW(116), nullptr, AcceptDialog, 0);
    ASSERT_NE(nullptr, dialog);
    for (int link : {1097, 1098, 1100, 1101}) {
        HWND control = GetDlgItem(dialog, link);
        ASSERT_NE(nullptr, control) << "link " << link;
        EXPECT_TRUE(GetWindowLongW(control, GWL_STYLE) & SS_NOTIFY) << "link " << link << " reports clicks";
    }
    EXPECT_NE(nullptr, GetDlgItem(dialog, IDOK));
    DestroyWindow(dialog);
}

// The string numbers a source file uses: the numbers in the argument of a loader call, and the
// constants of that file named there; and the file's named constants that end in "StringId", which
// it hands to a helper that loads them.
void AddStringIdsOfSource(const std::string& text, std::set<UINT>& ids)
{
    static const std::regex loaderCall(R"((?:LoadUiString|LoadResourceString)\s*\(([^()]*)\))");
    static const std::regex word(R"(\b\w+\b)");
    static const std::regex stringIdConstant(R"((?:StringId\w*|\w+String)\s*=\s*(\d+))");
    auto constantValue = [&text](const std::string& name) -> std::optional<UINT> {
        const std::regex definition("\\b" + name + R"(\s*=\s*(\d+)\b)");
        std::smatch match;
        if (!std::regex_search(text, match, definition)) return std::nullopt;
        // A variable that starts as 0 holds "no string" until a branch picks one.
        const UINT value = static_cast<UINT>(std::stoul(match[1].str()));
        return value ? std::optional<UINT>(value) : std::nullopt;
    };
    for (std::sregex_iterator call(text.begin(), text.end(), loaderCall), end; call != end; ++call) {
        const std::string argument = (*call)[1].str();
        for (std::sregex_iterator it(argument.begin(), argument.end(), word); it != end; ++it) {
            const std::string token = it->str();
            if (token.find_first_not_of("0123456789") == std::string::npos)
                ids.insert(static_cast<UINT>(std::stoul(token)));
            else if (std::optional<UINT> value = constantValue(token))
                ids.insert(*value);
        }
    }
    for (std::sregex_iterator it(text.begin(), text.end(), stringIdConstant), end; it != end; ++it)
        ids.insert(static_cast<UINT>(std::stoul((*it)[1].str())));
}

// Every string number used in the program's sources.
std::set<UINT> StringIdsUsedInSources()
{
    std::wstring root = L"Z:" LUMENFOLD_SOURCE_DIR;
    for (wchar_t& c : root)
        if (c == L'/') c = L'\\';
    std::set<UINT> ids;
    std::vector<std::wstring> folders = {root + L"\\Viewer", root + L"\\Framework", root + L"\\Shared"};
    while (!folders.empty()) {
        std::wstring folder = folders.back();
        folders.pop_back();
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            std::wstring name = found.cFileName, path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != L"." && name != L"..") folders.push_back(path);
                continue;
            }
            const wchar_t* extension = PathFindExtensionW(name.c_str());
            if (lstrcmpiW(extension, L".cpp") != 0 && lstrcmpiW(extension, L".h") != 0) continue;
            std::ifstream file(path.c_str(), std::ios::binary);
            AddStringIdsOfSource(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()),
                                 ids);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return ids;
}

TEST_F(EnglishLibraryTest, HoldsEveryStringTheSourcesUse)
{
    std::set<UINT> used = StringIdsUsedInSources();
    for (UINT seen : {100u, 10016u, 10017u, 10128u, 10174u, 10176u})
        ASSERT_TRUE(used.count(seen)) << "the scan must see string " << seen << " in the sources";
    for (UINT id : used) {
        if (id >= 101 && id <= 104 && id != 102) continue;  // the program's own texts
        EXPECT_FALSE(String(id).empty()) << "string " << id << " is used in the sources";
    }
}

TEST(ProgramStringsTest, TheProgramHoldsItsOwnStartupTexts)
{
    auto own = [](UINT id) {
        const wchar_t* text = nullptr;
        int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
        return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
    };
    EXPECT_EQ(L"Lumenfold", own(100));
    EXPECT_EQ(L"Invalid language code! Reverting to default language.", own(103));
    EXPECT_THAT(own(104), testing::StartsWith(L"Lumenfold cannot start!\n\n"));
    EXPECT_THAT(own(104), HasSubstr(L"Lumenfold.Core.EN.dll"));
    EXPECT_THAT(own(104), HasSubstr(L"@"));
    EXPECT_THAT(own(104), testing::EndsWith(L", thank you."));
}

}  // namespace
