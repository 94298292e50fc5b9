// The plug-in's class as the viewer sees it: its texts by language, its getters' argument checks and
// the confirmation before any picture work, through the vtable and late-bound through IDispatch.
#include "Framework/Bstr.h"
#include "Framework/ComObject.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/ModalSeam.h"
#include "PlugIns/Wallpaper/SetAsWallpaper.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestPaths.h"
#include "tests/wallpaper/GdiPlusSession.h"
#include <string>
#include <vector>

namespace {
ComPtr<IImageStackActionPlugIn> NewPlugIn(LANGID language)
{
    ComPtr<IImageStackActionPlugIn> plugIn;
    EXPECT_EQ(S_OK, (ComObject<CSetAsWallpaper>::Create(nullptr, __uuidof(IImageStackActionPlugIn), plugIn.AsVoid())));
    if (plugIn) {
        EXPECT_EQ(S_OK, plugIn->Initialize(nullptr, language, nullptr));
    }
    return plugIn;
}

struct LanguageCase {
    LANGID language;
    const wchar_t* displayName;
    const wchar_t* titleStart;
};

const LanguageCase kLanguages[] = {
    {0x040C, L"Mettre en fond d'\u00e9cran", L"Lumenfild - Mettre en fond d'\u00e9cran 1.0"},
    {0x0C0C, L"Mettre en fond d'\u00e9cran", L"Lumenfild - Mettre en fond d'\u00e9cran 1.0"},
    {0x0409, L"Set as Wallpaper", L"Lumenfild - Set As Wallpaper 1.0"},
    {0, L"Set as Wallpaper", L"Lumenfild - Set As Wallpaper 1.0"},
};

HWND kOwner = reinterpret_cast<HWND>(0x1234);
}  // namespace

TEST(SetAsWallpaper, TextsFollowTheViewersLanguage)
{
    for (const LanguageCase& c : kLanguages) {
        SCOPED_TRACE(c.language);
        ComPtr<IImageStackActionPlugIn> plugIn = NewPlugIn(c.language);
        ASSERT_TRUE(plugIn);
        Bstr name, version, author;
        EXPECT_EQ(S_OK, plugIn->GetDisplayName(&name));
        EXPECT_EQ(c.displayName, name.View());
        EXPECT_EQ(S_OK, plugIn->GetVersionInformation(&version));
        EXPECT_EQ(L"1.0", version.View());
        EXPECT_EQ(S_OK, plugIn->GetAuthorInformation(&author));
        EXPECT_FALSE(author.Empty());

        MessageBoxRecorder no(IDNO);
        tagLMFISAPPOSTACTIONBEHAVIOR behaviour = LMFISAP_POSTACTIONBEHAVIOR_REFRESHSTACK;
        EXPECT_EQ(S_FALSE, plugIn->Process(kOwner, Bstr(L"C:\\none\\IMG_1").Get(), Bstr(L"jpg").Get(), 0, &behaviour));
        ASSERT_EQ(1u, no.calls.size());
        EXPECT_EQ(c.titleStart, no.calls[0].caption);
        EXPECT_EQ(kOwner, no.calls[0].owner);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), no.calls[0].type);
        EXPECT_EQ(4u, std::count(no.calls[0].text.begin(), no.calls[0].text.end(), L'\n') / 2 + 1);
        EXPECT_NE(L'\n', no.calls[0].text.back());
        EXPECT_EQ(LMFISAP_POSTACTIONBEHAVIOR_REFRESHSTACK, behaviour) << "the behaviour is never written";
    }
}

TEST(SetAsWallpaper, GettersRefuseNullAndAnswerTheirValues)
{
    ComPtr<IImageStackActionPlugIn> plugIn = NewPlugIn(0x0409);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(E_INVALIDARG, plugIn->GetCapabilities(nullptr));
    EXPECT_EQ(E_INVALIDARG, plugIn->GetPreferredHotkey(nullptr));
    EXPECT_EQ(E_INVALIDARG, plugIn->GetDisplayName(nullptr));
    EXPECT_EQ(E_INVALIDARG, plugIn->GetDescription(nullptr));
    EXPECT_EQ(E_INVALIDARG, plugIn->GetAuthorInformation(nullptr));
    EXPECT_EQ(E_INVALIDARG, plugIn->GetVersionInformation(nullptr));
    tagLMFISAPCAPABILITIES capabilities = LMF_ISAPCAPS_MODELESS;
    EXPECT_EQ(S_OK, plugIn->GetCapabilities(&capabilities));
    EXPECT_EQ(LMF_ISAPCAPS_NONE, capabilities);
    LONG hotkey = 0;
    EXPECT_EQ(S_OK, plugIn->GetPreferredHotkey(&hotkey));
    EXPECT_EQ(0x257, hotkey);
    EXPECT_EQ(E_NOTIMPL, plugIn->Configure(nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, plugIn->Cancel(1));
    EXPECT_EQ(S_OK, plugIn->Terminate());
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(S_OK, plugIn.As(errors));
    EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(IID_IUnknown));
}

TEST(SetAsWallpaper, ProcessRefusesNullArgumentsWithoutAsking)
{
    ComPtr<IImageStackActionPlugIn> plugIn = NewPlugIn(0x0409);
    ASSERT_TRUE(plugIn);
    MessageBoxRecorder yes(IDYES);
    tagLMFISAPPOSTACTIONBEHAVIOR behaviour{};
    const Bstr path(L"C:\\IMG_1"), extensions(L"jpg");
    EXPECT_EQ(E_INVALIDARG, plugIn->Process(nullptr, nullptr, extensions.Get(), 0, &behaviour));
    EXPECT_EQ(E_INVALIDARG, plugIn->Process(nullptr, path.Get(), nullptr, 0, &behaviour));
    EXPECT_EQ(E_INVALIDARG, plugIn->Process(nullptr, path.Get(), extensions.Get(), 0, nullptr));
    EXPECT_TRUE(yes.calls.empty());
}

TEST(SetAsWallpaper, AStackWithoutAnExistingFileFailsWithoutErrorInformation)
{
    ComPtr<IImageStackActionPlugIn> plugIn = NewPlugIn(0x0409);
    ASSERT_TRUE(plugIn);
    TempFolder folder;
    MessageBoxRecorder yes(IDYES);
    TakeErrorDescription();
    tagLMFISAPPOSTACTIONBEHAVIOR behaviour{};
    EXPECT_EQ(E_FAIL, plugIn->Process(nullptr, Bstr(folder.File(L"IMG_1")).Get(), Bstr(L";jpg;;").Get(), 0, &behaviour));
    EXPECT_EQ(L"", TakeErrorDescription());
}

TEST(SetAsWallpaper, LateBoundCallsFindTheMethodsByTheirIdentifiers)
{
    ComPtr<IImageStackActionPlugIn> plugIn = NewPlugIn(0x040C);
    ASSERT_TRUE(plugIn);
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, plugIn.As(dispatch));
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    wchar_t processName[] = L"Process";
    LPOLESTR names[] = {processName};
    DISPID id = 0;
    ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    EXPECT_EQ(10, id);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, dispatch->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_STREQ(L"Mettre en fond d'\u00e9cran", result.bstrVal);
    VariantClear(&result);
    // Wine's type-information Invoke answers E_NOTIMPL for a window-handle parameter, so Process
    // itself cannot be reached late-bound here; the name still maps to its identifier above.
}
