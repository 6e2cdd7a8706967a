// The drag source: the CF_HDROP block, the data source's delayed rendering and cache, the
// drop source's rules, and a real OLE drag into a drop target of this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "LayeredTestSupport.h"
#include "windows/CDragFile.h"
#include "windows/CDropSource.h"

namespace {

std::vector<BYTE> BlockBytes(HGLOBAL block)
{
    std::vector<BYTE> bytes;
    if (!block)
        return bytes;
    const SIZE_T size = ::GlobalSize(block);
    const BYTE* data = static_cast<const BYTE*>(::GlobalLock(block));
    if (data)
        bytes.assign(data, data + size);
    ::GlobalUnlock(block);
    return bytes;
}

DWORD Dword(const std::vector<BYTE>& bytes, size_t offset)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

bool AllZeroFrom(const std::vector<BYTE>& bytes, size_t offset)
{
    for (size_t i = offset; i < bytes.size(); ++i) {
        if (bytes[i])
            return false;
    }
    return true;
}

// The one path of a CF_HDROP block, read through the shell.
std::wstring FirstDropPath(HGLOBAL block, UINT* count = nullptr)
{
    const HDROP drop = static_cast<HDROP>(block);
    const UINT n = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count)
        *count = n;
    if (n == 0)
        return L"";
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    ::DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(length);
    return path;
}

// A data source that says when it is deleted.
class CWatchedDragFile : public Utility::CDragFile
{
public:
    CWatchedDragFile(const CString& path, bool* deleted) : CDragFile(path), m_deleted(deleted) {}

protected:
    ~CWatchedDragFile() override { *m_deleted = true; }

private:
    bool* m_deleted;
};

FORMATETC HdropFormat()
{
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

}  // namespace

TEST(DragSourceBlock, OneShortPathFillsOneStep)
{
    HGLOBAL block = Utility::CDragFile::BuildDropFiles(L"C:\\a.txt");
    ASSERT_NE(nullptr, block);
    const std::vector<BYTE> bytes = BlockBytes(block);
    ASSERT_EQ(4096u, bytes.size());
    EXPECT_EQ(20u, Dword(bytes, 0));   // pFiles
    EXPECT_EQ(0u, Dword(bytes, 4));    // pt.x
    EXPECT_EQ(0u, Dword(bytes, 8));    // pt.y
    EXPECT_EQ(0u, Dword(bytes, 12));   // fNC
    EXPECT_EQ(1u, Dword(bytes, 16));   // fWide
    const BYTE path[] = {'C', 0, ':', 0, '\\', 0, 'a', 0, '.', 0, 't', 0, 'x', 0, 't', 0};
    EXPECT_EQ(0, std::memcmp(bytes.data() + 20, path, sizeof(path)));
    EXPECT_TRUE(AllZeroFrom(bytes, 36));
    EXPECT_EQ(L"C:\\a.txt", FirstDropPath(block));
    ::GlobalFree(block);
}

TEST(DragSourceBlock, APathEndingAtAStepGetsAnotherStepForItsZeros)
{
    // 20 + 2n = 4096: the path ends exactly where the first step ends.
    EXPECT_EQ(8192u, Utility::CDragFile::DropFilesSize(2038));
    // Two bytes short of the step: room for one zero only, so another step too.
    EXPECT_EQ(8192u, Utility::CDragFile::DropFilesSize(2037));
    // Four bytes short: both zeros fit.
    EXPECT_EQ(4096u, Utility::CDragFile::DropFilesSize(2036));
    EXPECT_EQ(4096u, Utility::CDragFile::DropFilesSize(0));

    for (int chars : {2036, 2037, 2038}) {
        const CString path = CString(L"C:\\") + CString(L'x', chars - 3);
        ASSERT_EQ(chars, path.GetLength());
        HGLOBAL block = Utility::CDragFile::BuildDropFiles(path);
        ASSERT_NE(nullptr, block);
        const std::vector<BYTE> bytes = BlockBytes(block);
        EXPECT_EQ(Utility::CDragFile::DropFilesSize(static_cast<SIZE_T>(chars)), bytes.size());
        EXPECT_EQ(0u, bytes.size() % 4096);
        const size_t end = 20 + 2 * static_cast<size_t>(chars);
        EXPECT_GE(bytes.size(), end + 4);
        EXPECT_EQ('x', bytes[end - 2]);
        EXPECT_TRUE(AllZeroFrom(bytes, end));
        UINT count = 0;
        EXPECT_EQ(std::wstring(path.GetString()), FirstDropPath(block, &count));
        EXPECT_EQ(1u, count);
        ::GlobalFree(block);
    }
}

TEST(DragSourceBlock, TheEmptyPathAndAnAbsurdPath)
{
    HGLOBAL block = Utility::CDragFile::BuildDropFiles(L"");
    ASSERT_NE(nullptr, block);
    const std::vector<BYTE> bytes = BlockBytes(block);
    EXPECT_EQ(4096u, bytes.size());
    EXPECT_TRUE(AllZeroFrom(bytes, 20));
    ::GlobalFree(block);
    EXPECT_EQ(nullptr, Utility::CDragFile::BuildDropFiles(CString(L'x', 40000)));
}

TEST(DragSourceData, EveryRequestForTheFileGetsItTheFirstToo)
{
    bool deleted = false;
    auto* data = new CWatchedDragFile(L"C:\\docs\\report.pdf", &deleted);
    data->DelayRenderData(CF_HDROP);
    EXPECT_TRUE(data->IsOffered(CF_HDROP));
    EXPECT_FALSE(data->IsCached(CF_HDROP));

    FORMATETC format = HdropFormat();
    EXPECT_EQ(S_OK, data->QueryGetData(&format));
    STGMEDIUM first = {};
    ASSERT_EQ(S_OK, data->GetData(&format, &first));
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), first.tymed);
    EXPECT_EQ(nullptr, first.pUnkForRelease);
    EXPECT_EQ(L"C:\\docs\\report.pdf", FirstDropPath(first.hGlobal));
    // Rendered once, then answered from the cache with copies of the same bytes.
    EXPECT_TRUE(data->IsCached(CF_HDROP));
    STGMEDIUM second = {};
    ASSERT_EQ(S_OK, data->GetData(&format, &second));
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_EQ(BlockBytes(first.hGlobal), BlockBytes(second.hGlobal));
    EXPECT_EQ(4096u, BlockBytes(second.hGlobal).size());
    ::ReleaseStgMedium(&first);
    ::ReleaseStgMedium(&second);

    // Formats and media not offered.
    FORMATETC text = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM none = {};
    EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&text));
    EXPECT_NE(S_OK, data->GetData(&text, &none));
    FORMATETC stream = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_EQ(DV_E_TYMED, data->QueryGetData(&stream));
    EXPECT_EQ(E_INVALIDARG, data->GetData(nullptr, &none));

    // The format list names CF_HDROP.
    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    FORMATETC listed[4] = {};
    ULONG fetched = 0;
    formats->Next(4, listed, &fetched);
    formats->Release();
    ASSERT_EQ(1u, fetched);
    EXPECT_EQ(CF_HDROP, listed[0].cfFormat);
    EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));

    // The creator's reference is the last one: releasing it deletes the object.
    EXPECT_FALSE(deleted);
    IDataObject* asInterface = nullptr;
    ASSERT_EQ(S_OK, data->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&asInterface)));
    asInterface->Release();
    EXPECT_FALSE(deleted);
    data->Release();
    EXPECT_TRUE(deleted);
}

TEST(DragSourceData, OtherFormatsAreNotRenderedAndCachedDataIsReplaced)
{
    auto* data = new Utility::CDragFile(L"C:\\x");
    HGLOBAL tmp = nullptr;
    FORMATETC text = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_FALSE(data->OnRenderGlobalData(&text, &tmp));
    FORMATETC drop = HdropFormat();
    EXPECT_FALSE(data->OnRenderGlobalData(&drop, nullptr));
    EXPECT_FALSE(data->IsCached(CF_HDROP));
    EXPECT_EQ(nullptr, tmp);

    // A cached block replaced by a delayed entry is freed, and the other way round.
    data->CacheGlobalData(CF_HDROP, Utility::CDragFile::BuildDropFiles(L"C:\\old"));
    EXPECT_TRUE(data->IsCached(CF_HDROP));
    data->DelayRenderData(CF_HDROP);
    EXPECT_FALSE(data->IsCached(CF_HDROP));
    STGMEDIUM medium = {};
    ASSERT_EQ(S_OK, data->GetData(&drop, &medium));
    EXPECT_EQ(L"C:\\x", FirstDropPath(medium.hGlobal));
    ::ReleaseStgMedium(&medium);
    data->Release();
}

TEST(DragSourceRules, RightWithLeftOrEscapeCancelsReleasingLeftDrops)
{
    Utility::CDropSource source;
    EXPECT_EQ(S_OK, source.QueryContinueDrag(FALSE, MK_LBUTTON));
    EXPECT_EQ(S_OK, source.QueryContinueDrag(FALSE, MK_LBUTTON | MK_SHIFT | MK_CONTROL));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source.QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source.QueryContinueDrag(TRUE, MK_LBUTTON));
    EXPECT_EQ(DRAGDROP_S_CANCEL, source.QueryContinueDrag(TRUE, 0));
    EXPECT_EQ(DRAGDROP_S_DROP, source.QueryContinueDrag(FALSE, 0));
    // The right button alone after the left was released: the drop happens.
    EXPECT_EQ(DRAGDROP_S_DROP, source.QueryContinueDrag(FALSE, MK_RBUTTON));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source.GiveFeedback(DROPEFFECT_COPY));
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source.GiveFeedback(DROPEFFECT_NONE));
    EXPECT_TRUE(source.OnBeginDrag(nullptr));

    // The drag loop's references never delete the source.
    EXPECT_EQ(2u, source.AddRef() + 1);
    EXPECT_EQ(0u, source.Release());
    EXPECT_EQ(0, source.GetRefCount());
}

// ---- A real drag into a drop target of this process ------------------------------------------

namespace DragTest {

// An OLE drop target that accepts copies and reads CF_HDROP only when the drop happens:
// the kind of target that asks once.
class CTestDropTarget : public IDropTarget
{
public:
    std::vector<std::wstring> dropped;
    int enters = 0;
    int drops = 0;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *ppv = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--m_refs); }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        ++enters;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        ++drops;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium = {};
        if (data && SUCCEEDED(data->GetData(&format, &medium))) {
            dropped.push_back(FirstDropPath(medium.hGlobal));
            ::ReleaseStgMedium(&medium);
            *effect = DROPEFFECT_COPY;
        } else {
            *effect = DROPEFFECT_NONE;
        }
        return S_OK;
    }

private:
    long m_refs = 1;
};

}  // namespace DragTest

class DragIntoTarget : public LayeredTest::LayeredWindowSuite
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.CreatePopup(900, 100, 200, 200));
        ASSERT_EQ(S_OK, ::RegisterDragDrop(m_window.m_hWnd, &m_target));
        PumpPending();
    }
    void TearDown() override
    {
        ::RevokeDragDrop(m_window.m_hWnd);
        m_window.DestroyWindow();
        ::SetCursorPos(1200, 1000);
        LayeredWindowSuite::TearDown();
    }

    LayeredTest::CRecorderWnd m_window;
    DragTest::CTestDropTarget m_target;
};

TEST_F(DragIntoTarget, ATargetThatAsksOnlyAtTheDropGetsTheFile)
{
    // No button is really held: the first look at the keys drops where the cursor is.
    ::SetCursorPos(1000, 200);
    PumpPending();
    auto* data = new Utility::CDragFile(L"C:\\docs\\report.pdf");
    Utility::CDropSource source;
    data->DelayRenderData(CF_HDROP);
    const RECT start = {0, 0, 10, 10};
    const DROPEFFECT effect = data->DoDragDrop(DROPEFFECT_COPY, &start, &source);
    data->Release();
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_COPY), effect);
    EXPECT_EQ(1, m_target.drops);
    ASSERT_EQ(1u, m_target.dropped.size());
    EXPECT_EQ(L"C:\\docs\\report.pdf", m_target.dropped[0]);
    EXPECT_EQ(0, source.GetRefCount());
}

TEST_F(DragIntoTarget, ADropBesideTheTargetCopiesNothing)
{
    ::SetCursorPos(600, 600);
    PumpPending();
    auto* data = new Utility::CDragFile(L"C:\\docs\\report.pdf");
    Utility::CDropSource source;
    data->DelayRenderData(CF_HDROP);
    EXPECT_EQ(static_cast<DROPEFFECT>(DROPEFFECT_NONE), data->DoDragDrop(DROPEFFECT_COPY, nullptr, &source));
    data->Release();
    EXPECT_EQ(0, m_target.drops);
}
