#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/Variant.h"
#include <gtest/gtest.h>
#include <new>

namespace {
// Counts its references so that the holders' AddRef/Release balance can be seen.
class CountedObject : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != IID_IUnknown) { *out = nullptr; return E_NOINTERFACE; }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};
}

TEST(ComPtr, BalancesReferencesThroughCopyMoveAndReset)
{
    CountedObject object;
    {
        ComPtr<IUnknown> a(&object);
        EXPECT_EQ(2u, object.refs);
        ComPtr<IUnknown> b = a;
        EXPECT_EQ(3u, object.refs);
        ComPtr<IUnknown> c = std::move(b);
        EXPECT_FALSE(b);
        EXPECT_EQ(3u, object.refs);
        ComPtr<IUnknown> d;
        ASSERT_EQ(S_OK, c.As(d));
        EXPECT_EQ(4u, object.refs);
        d = nullptr;
        EXPECT_EQ(3u, object.refs);
    }
    EXPECT_EQ(1u, object.refs);

    object.AddRef();
    ComPtr<IUnknown> attached = ComPtr<IUnknown>::Attach(&object);
    EXPECT_EQ(2u, object.refs);
    IUnknown* raw = attached.Detach();
    EXPECT_EQ(&object, raw);
    EXPECT_EQ(2u, object.refs);
    raw->Release();
}

TEST(ComPtr, AddressOfReleasesTheOldPointerForAnOutParameter)
{
    CountedObject first, second;
    ComPtr<IUnknown> p(&first);
    IUnknown** out = &p;
    EXPECT_EQ(1u, first.refs);
    *out = &second;  // as a creation function would hand over its reference
    second.AddRef();
    EXPECT_EQ(&second, p.Get());
}

TEST(Bstr, HoldsCopiesAndTreatsNullAsEmpty)
{
    Bstr empty;
    EXPECT_EQ(nullptr, empty.Get());
    EXPECT_STREQ(L"", empty.c_str());
    EXPECT_TRUE(empty.Empty());

    Bstr text(std::wstring_view(L"a\0b", 3));
    EXPECT_EQ(3u, text.Length());
    Bstr copy = text;
    EXPECT_NE(text.Get(), copy.Get());
    EXPECT_EQ(text.View(), copy.View());

    BSTR owned = copy.Copy();
    EXPECT_EQ(3u, SysStringLen(owned));
    SysFreeString(owned);

    Bstr out;
    *(&out) = SysAllocString(L"given");
    EXPECT_STREQ(L"given", out.c_str());
}

TEST(Variant, ClearsOnReuseAndDestruction)
{
    Variant v;
    VARIANT* p = &v;
    p->vt = VT_BSTR;
    p->bstrVal = SysAllocString(L"x");
    EXPECT_EQ(VT_BSTR, v.Type());
    p = &v;  // clears the string before reuse
    EXPECT_EQ(VT_EMPTY, v.Type());

    PropVariant pv;
    pv.Get().vt = VT_UI4;
    pv.Get().ulVal = 7;
    EXPECT_EQ(VT_UI4, pv.Type());
}

TEST(HResultError, BecomesAnHResultAtTheBoundary)
{
    struct Case { HRESULT expected; void (*thrower)(); };
    const Case cases[] = {
        {E_ACCESSDENIED, [] { throw HResultError(E_ACCESSDENIED); }},
        {E_OUTOFMEMORY, [] { throw std::bad_alloc(); }},
        {E_UNEXPECTED, [] { throw 42; }},
        {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), [] { SetLastError(ERROR_FILE_NOT_FOUND); ThrowLastErrorIf(true); }},
        {E_FAIL, [] { SetLastError(0); ThrowLastErrorIf(true); }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CatchAsHResult([&]() -> HRESULT { c.thrower(); return S_OK; }));

    EXPECT_EQ(S_FALSE, CatchAsHResult([] { return ThrowIfFailed(S_FALSE); }));
    EXPECT_EQ(E_INVALIDARG, CatchAsHResult([] { return ThrowIfFailed(E_INVALIDARG); }));
}
