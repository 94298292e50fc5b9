#include "tests/engine/FileFixtures.h"
#include <gtest/gtest.h>
#include "Framework/UniqueHandle.h"

void WriteFileBytes(const std::wstring& path, std::string_view bytes)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot create the test file, error " << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ASSERT_EQ(bytes.size(), written);
}

std::string ReadFileBytes(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}
