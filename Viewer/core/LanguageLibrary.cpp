#include "Viewer/core/LanguageLibrary.h"
#include <shlwapi.h>
#include <algorithm>
#include <cwchar>
#include <vector>
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueModule.h"
#include "Viewer/core/FileSignature.h"

namespace {

constexpr DWORD kModulePathChars = 521;
constexpr size_t kCodeChars = 3;
constexpr size_t kEditionCodeChars = 15;
constexpr size_t kLanguageCodeChars = 7;
constexpr UINT kTitleStringId = 100;

std::wstring FileNameOf(const std::wstring& path)
{
    return PathFindFileNameW(path.c_str());
}

// The program path without its extension and with a final dot: the start of every library name.
std::wstring LibraryNamePrefix(const std::wstring& programPath)
{
    size_t nameStart = programPath.find_last_of(L"\\/");
    size_t dot = programPath.rfind(L'.');
    bool hasExtension = dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + L".";
}

// The library file for a code, or empty when there is none to try. A pattern takes the first file
// that matches it, unless that file was checked before.
std::wstring FindLibraryFile(const std::wstring& path, bool pattern)
{
    if (!pattern) return PathFileExistsW(path.c_str()) ? path : std::wstring();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || LanguageResources::TriedNames.count(found.cFileName))
        return {};
    return path.substr(0, path.size() - FileNameOf(path).size()) + found.cFileName;
}

void ReportUntrustedLibrary(const std::wstring& path, LONG result)
{
    // Sized for the whole path, so that a long path never cuts off the error code.
    std::vector<wchar_t> text(path.size() + 128);
    swprintf(text.data(), text.size(), L"An invalid or untrusted resource DLL was ignored.\n\n%ls\n\n(0x%08lx)",
             path.c_str(), static_cast<unsigned long>(result));
    ShowMessageBox(GetActiveWindow(), text.data(), LoadUiString(kTitleStringId).c_str(),
                   MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST);
}

// A file checked for the first time must carry a trusted signature; a file that failed once is
// refused for good. A file that passed is not checked again.
bool IsTrustedLibrary(const std::wstring& path)
{
    std::wstring name = FileNameOf(path);
    if (LanguageResources::RefusedNames.count(name)) return false;
    if (!LanguageResources::TriedNames.insert(name).second) return true;
    LONG result = VerifyFileSignature(path, WTD_UI_NOGOOD);
    if (IsAcceptedSignatureResult(result)) return true;
    LanguageResources::RefusedNames.insert(name);
    ReportUntrustedLibrary(path, result);
    return false;
}

// "X.EN.dll" after the prefix gives the edition X and the language EN; "EN.dll" the language only.
void SplitLibraryName(std::wstring_view codes, std::wstring& editionOut, std::wstring& languageOut)
{
    if (codes.size() >= 4 && CompareStringOrdinal(codes.data() + codes.size() - 4, 4, L".dll", 4, TRUE) == CSTR_EQUAL)
        codes.remove_suffix(4);
    size_t dot = codes.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        editionOut.clear();
        languageOut = codes.substr(0, kLanguageCodeChars);
    } else {
        editionOut = codes.substr(0, std::min(dot, kEditionCodeChars));
        languageOut = codes.substr(dot + 1, kLanguageCodeChars);
    }
}

std::wstring StringFromModule(HMODULE module, UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace

bool LanguageResources::FileNameLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_LESS_THAN;
}

std::wstring ProgramPath()
{
    wchar_t path[kModulePathChars]{};
    GetModuleFileNameW(nullptr, path, kModulePathChars);
    return path;
}

bool LoadLanguageLibrary(std::wstring_view code, std::wstring_view edition, std::wstring& editionOut,
                         std::wstring& languageOut, const std::wstring& programPath)
{
    FreeLanguageLibrary();
    if (code.empty()) return false;
    std::wstring shortCode(code.substr(0, kCodeChars));
    bool pattern = shortCode.find_first_of(L"?*") != std::wstring::npos;

    std::wstring prefix = LibraryNamePrefix(programPath);
    std::wstring path = prefix;
    if (!edition.empty()) path.append(edition).append(L".");
    path.append(shortCode).append(L".dll");
    path = FindLibraryFile(path, pattern);
    if (path.empty()) return false;

    UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!IsTrustedLibrary(path) || !module) return false;

    LanguageResources::LibraryHandle = module.release();
    SetResourceInstance(LanguageResources::LibraryHandle);
    SplitLibraryName(std::wstring_view(path).substr(prefix.size()), editionOut, languageOut);
    return true;
}

void FreeLanguageLibrary() noexcept
{
    HMODULE module = LanguageResources::LibraryHandle;
    if (!module) return;
    LanguageResources::LibraryHandle = nullptr;
    SetResourceInstance(nullptr);
    FreeLibrary(module);
}

std::wstring LoadUiString(UINT id)
{
    std::wstring text = LoadResourceString(id);
    if (text.empty() && GetResourceInstance() != GetModuleInstance()) text = StringFromModule(GetModuleInstance(), id);
    return text.empty() ? L"?" : text;
}
