// The AutoPlay handler as the shell drives it: the drag notifications, then a drop of the pictures
// found, from which it chooses the folder it hands to the viewer.
#include "tests/shell/ShellFixture.h"

namespace {
class ShellAutoPlay : public ShellFixture {};
}

TEST_F(ShellAutoPlay, DraggingOffersCopyAndAcceptsANullEffect)
{
    ComPtr<IDropTarget> target = Library().Create<IDropTarget>(kAutoPlayClsid);
    ASSERT_TRUE(target);
    const POINTL point{};
    DWORD effect = DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, target->DragEnter(FileDropData::Create({L"E:\\DCIM\\A.JPG"}).Get(), MK_LBUTTON, point, &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    effect = DROPEFFECT_NONE;
    EXPECT_EQ(S_OK, target->DragOver(MK_LBUTTON, point, &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    EXPECT_EQ(S_OK, target->DragEnter(nullptr, 0, point, nullptr));
    EXPECT_EQ(S_OK, target->DragOver(0, point, nullptr));
    EXPECT_EQ(S_OK, target->DragLeave());
}

TEST_F(ShellAutoPlay, DropHandsTheViewerTheShortestParentFolder)
{
    struct Case {
        const char* name;
        std::vector<std::wstring> items;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {"the higher folder wins", {L"E:\\DCIM\\100CAM\\A.JPG", L"E:\\DCIM\\B.JPG"}, L"E:\\DCIM"},
        {"the higher folder wins when it comes first", {L"E:\\DCIM\\B.JPG", L"E:\\DCIM\\100CAM\\A.JPG"}, L"E:\\DCIM"},
        {"equal lengths keep the first", {L"E:\\BBB\\A.JPG", L"E:\\AAA\\B.JPG"}, L"E:\\BBB"},
        {"a picture at the root", {L"E:\\DCIM\\A.JPG", L"E:\\B.JPG"}, L"E:\\"},
        {"one picture", {L"E:\\DCIM\\100CAM\\A.JPG"}, L"E:\\DCIM\\100CAM"},
        {"no picture", {}, L""},
    };
    SetAppPath(kInstallKey, StubProgram());
    for (const Case& c : cases) {
        DeleteFileW(Temp().File(L"stub.txt").c_str());
        EXPECT_EQ(S_OK, DropOnAutoPlay(FileDropData::Create(c.items).Get())) << c.name;
        EXPECT_EQ(ExpectedCommandLine(c.folder), StubCommandLine().value_or(L"<not started>")) << c.name;
    }
}

TEST_F(ShellAutoPlay, DropWithoutAFileListStartsTheViewerOnAnEmptyFolder)
{
    SetAppPath(kInstallKey, StubProgram());
    EXPECT_EQ(S_OK, DropOnAutoPlay(FileDropData::CreateWithoutFileList().Get()));
    EXPECT_EQ(ExpectedCommandLine(L""), StubCommandLine().value_or(L"<not started>"));
}
