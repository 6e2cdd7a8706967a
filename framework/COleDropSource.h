// The drop-source side of an OLE drag: it tells the system's drag loop whether the drag
// goes on, drops or is cancelled, and which cursors to show. COleDataSource::DoDragDrop asks
// OnBeginDrag first whether the drag starts at all.
//
// The object is owned by its creator (made on the stack or with new and deleted after the
// drag); the COM reference count only tracks the drag loop's references and never deletes.
#pragma once

#include <windows.h>
#include <ole2.h>

class CWnd;

class COleDropSource : public IDropSource
{
public:
    COleDropSource() = default;
    COleDropSource(const COleDropSource&) = delete;
    COleDropSource& operator=(const COleDropSource&) = delete;
    virtual ~COleDropSource() = default;

    // Whether the drag starts: TRUE when the left button is still down and the cursor has
    // left the start rectangle (or there is none). pWnd is the window that holds the mouse
    // capture, or null.
    virtual BOOL OnBeginDrag(CWnd* pWnd);

    // The start-drag rectangle in screen coordinates, set by DoDragDrop (empty for none).
    RECT m_rectStartDrag = {0, 0, 0, 0};

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDropSource, overridable: Escape cancels, a released left button drops, otherwise
    // the drag goes on; the system's drag cursors.
    STDMETHODIMP QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    STDMETHODIMP GiveFeedback(DWORD dropEffect) override;

    // The references the drag loop holds now.
    LONG GetRefCount() const { return m_nRefs; }

private:
    LONG m_nRefs = 0;
};
