#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/engine/ImageEntry.h"

namespace {
class FrameOpenRequestsTest : public FrameTest {
protected:
    std::wstring Touch(const std::wstring& name)
    {
        const std::wstring path = m_folder.File(name);
        CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(file);
        return path;
    }
    void WaitForEntries(uint32_t count)
    {
        for (int i = 0; i < 500 && m_frame.Engine().GetEntryCount() < count; ++i) PumpFor(10);
        PumpFor(50);
    }

    std::vector<std::wstring> m_boxes;
    ScopedModalSeam m_seam{ModalSeam{.messageBox = [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
        m_boxes.emplace_back(text);
        return IDOK;
    }}};
};

TEST_F(FrameOpenRequestsTest, OneFolderOrFilesOfOneFolderAndEveryRefusalSaysSo)
{
    const std::wstring first = m_folder.File(L"one");
    const std::wstring second = m_folder.File(L"two");
    Touch(L"one\\a.jpg");
    Touch(L"two\\b.jpg");
    const std::wstring missing = m_folder.File(L"gone.jpg");
    const struct {
        std::wstring list;
        std::wstring opened;
        std::vector<std::wstring> boxes;
    } cases[] = {
        {first + L"|" + second, first, {LoadUiString(10086)}},
        {first + L"\\a.jpg|" + second, first, {LoadUiString(10086)}},
        {missing + L"|" + second, second, {LoadUiString(10190) + missing}},
        {second + L"\\", second, {}},  // a trailing backslash opens the folder by its plain name
    };
    for (const auto& c : cases) {
        m_boxes.clear();
        m_frame.OpenRequests().OpenPathList(c.list);
        EXPECT_EQ(c.opened, m_frame.ImageFolderPath().View()) << std::string(c.list.begin(), c.list.end());
        EXPECT_EQ(c.boxes, m_boxes) << std::string(c.list.begin(), c.list.end());
    }
}

TEST_F(FrameOpenRequestsTest, AFileOpensItsFolderAndBecomesTheCurrentPictureOnceListed)
{
    Touch(L"shoot\\a.jpg");
    const std::wstring named = Touch(L"shoot\\m.jpg");
    Touch(L"shoot\\z.jpg");
    m_frame.OpenRequests().OpenPathList(named);
    EXPECT_EQ(m_folder.File(L"shoot"), m_frame.ImageFolderPath().View());
    WaitForEntries(3);
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    ASSERT_TRUE(current);
    EXPECT_EQ(m_folder.File(L"shoot\\m"), current->GetBasePath());
}

TEST_F(FrameOpenRequestsTest, AWakeUpWithFreePathsOpensThemAsAList)
{
    const std::wstring named = Touch(L"w\\a.jpg");
    WakeUp(Quoted(named));
    EXPECT_EQ(m_folder.File(L"w"), m_frame.ImageFolderPath().View());
}
}
