#include "tests/language/LanguageFiles.h"
#include <gmock/gmock.h>

namespace {

// Checked names are remembered for the whole process, so every folder's program has a name of its own.
std::wstring UniqueProgramName()
{
    static int count = 0;
    return L"Prog" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++count);
}

void CopyLibrary(const std::wstring& from, const std::wstring& to)
{
    ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), TRUE)) << "copying to " << testing::PrintToString(to);
}

}  // namespace

LanguageFiles::LanguageFiles() : m_programPath(m_folder.File(UniqueProgramName() + L".exe")) {}

std::wstring LanguageFiles::LibraryPath(const std::wstring& codes) const
{
    return m_programPath.substr(0, m_programPath.size() - 4) + L"." + codes + L".dll";
}

void LanguageFiles::AddSigned(const std::wstring& codes) const
{
    CopyLibrary(SignedEnglishLibrary(), LibraryPath(codes));
}

void LanguageFiles::AddUnsigned(const std::wstring& codes) const
{
    CopyLibrary(UnsignedEnglishLibrary(), LibraryPath(codes));
}

std::wstring SignedEnglishLibrary()
{
    return TestProgramFolder() + L"\\Lumenfold.Core.EN.dll";
}

std::wstring UnsignedEnglishLibrary()
{
    return TestProgramFolder() + L"\\language_test_unsigned.dll";
}
