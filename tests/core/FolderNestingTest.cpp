#include "Viewer/core/FolderNesting.h"
#include <gtest/gtest.h>

namespace {
TEST(FolderNestingTest, InsideOnlyBelowAWholePathComponent)
{
    const struct {
        const wchar_t* inner;
        const wchar_t* outer;
        bool inside;
    } cases[] = {
        {L"C:\\Pics\\Keep", L"C:\\Pics", true},
        {L"c:\\pics\\keep\\2024", L"C:\\Pics", true},
        {L"C:\\Pics\\Keep", L"C:\\Pics\\", true},
        {L"C:\\Pics2", L"C:\\Pics", false},
        {L"C:\\Pics", L"C:\\Pics", false},
        {L"C:\\Pics\\", L"C:\\Pics", false},
        {L"C:\\Pics\\Keep", L"C:\\", true},
        {L"D:\\Pics", L"C:\\", false},
        {L"C:\\Pics\\..\\Other", L"C:\\Pics", false},
        {L"C:\\Pics\\Keep\\..\\Keep2", L"C:\\Pics", true},
        {L"C:\\Pics", L"C:\\Pics\\Keep", false},
        {L"C:\\Pics", L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, IsStrictlyInside(c.inner, c.outer))
            << std::string(c.inner, c.inner + wcslen(c.inner)) << " in " << std::string(c.outer, c.outer + wcslen(c.outer));
}
}

TEST(FolderNestingTest, CanonicalFolderPathsEndWithoutABackslashExceptADriveRoot)
{
    const struct {
        const wchar_t* path;
        const wchar_t* canonical;
    } cases[] = {{L"C:\\Pics\\", L"C:\\Pics"},   {L"C:\\Pics\\\\", L"C:\\Pics"}, {L"C:\\Pics", L"C:\\Pics"},
                 {L"C:\\", L"C:\\"},              {L"C:\\\\", L"C:\\"},          {L"C:\\Pics\\.\\Keep\\..", L"C:\\Pics"}};
    for (const auto& c : cases) EXPECT_EQ(c.canonical, CanonicalFolderPath(c.path)) << c.path;
}
