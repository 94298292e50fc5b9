#include "Viewer/dialogs/ExternalEditorList.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include <string>

namespace {
constexpr const wchar_t* EditorsKeyName = L"ExternalEditors";

std::wstring EditorKeyPath(unsigned index)
{
    return std::wstring(AppSettings::KeyPath) + L"\\" + EditorsKeyName + L"\\" + std::to_wstring(index);
}

// The "Editor" value of an open editor key, read as strictly as the launch reads it.
std::wstring ReadEditorValue(const RegKey& key)
{
    std::wstring path(EditorPathCapacity, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), L"Editor", nullptr, &type, reinterpret_cast<BYTE*>(path.data()), &bytes) !=
        ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    if (bytes < sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0) return {};
    const size_t characters = bytes / sizeof(wchar_t);
    if (path[characters - 1] != L'\0') return {};
    path.resize(wcslen(path.c_str()));
    return path;
}
}

std::wstring ReadEditorEntry(unsigned index)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, EditorKeyPath(index).c_str(), KEY_READ) != ERROR_SUCCESS) return {};
    return ReadEditorValue(key);
}

std::vector<EditorRecord> LoadEditorRecords()
{
    std::vector<EditorRecord> editors;
    for (unsigned index = 0; index < MaxLoadedEditors; ++index) {
        RegKey key;
        if (key.Open(HKEY_CURRENT_USER, EditorKeyPath(index).c_str(), KEY_READ) != ERROR_SUCCESS) break;
        std::wstring path = ReadEditorValue(key);
        if (path.empty()) continue;
        editors.push_back({key.QueryDword(L"Flags").value_or(0), std::move(path)});
    }
    return editors;
}

void SaveEditorRecords(const std::vector<EditorRecord>& editors)
{
    RegKey settings;
    if (settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) return;
    RegDeleteTreeW(settings.Get(), EditorsKeyName);
    RegKey list;
    if (list.Create(settings.Get(), EditorsKeyName) != ERROR_SUCCESS) return;
    for (size_t row = 0; row < editors.size(); ++row) {
        if (editors[row].path.empty()) continue;
        RegKey editor;
        if (editor.Create(list.Get(), std::to_wstring(row).c_str()) != ERROR_SUCCESS) continue;
        editor.SetString(L"Editor", editors[row].path);
        editor.SetDword(L"Flags", editors[row].flags);
    }
}
