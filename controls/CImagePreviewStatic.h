// An owner-drawn static control that shows one image file through GDI+, stretched to the
// control: setting an image sizes the control to it (or to a given width in proportion).
#pragma once

#include <windows.h>

#include "framework/CStatic.h"
#include "framework/CString.h"
#include "framework/ScopedHandles.h"

namespace Utility {

class CImagePreviewStatic : public CStatic
{
public:
    CImagePreviewStatic();
    ~CImagePreviewStatic() override;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    // Loads the image of the stored path and makes the drawing surface on the control's
    // window; FALSE when the control has no window. Dialogs call it once when they open.
    virtual BOOL Load();

    // Shows the image file, with the control moved to (0, 0) of its parent and sized to it.
    void SetImage(const CString& path);
    // The same, with the control moved to (x, y); right and bottom are not used.
    void SetImageAt(const CString& path, int x, int y, int right, int bottom);
    // Shows the image file scaled to the width, keeping its proportions: the control moves to
    // (0, 0) of its parent at that width and the height that goes with it (0 x 0 without a
    // usable image).
    void SetImageToWidth(const CString& path, int width);

    // The image's size in pixels; 0 x 0 without a usable image.
    UINT GetImageWidth() const;
    UINT GetImageHeight() const;

protected:
    // Loads the image of the path and places the control at (x, y) with its size.
    void ShowImage(const CString& path, int x, int y);
    // Loads the image of the path; none when it cannot be loaded.
    void LoadImageFile(const CString& path);
    void Place(int x, int y, int width, int height);
    void FreeImage();

    wchar_t m_wsFilename[MAX_PATH];
    ScopedGdipImage m_img;
    ScopedGdipGraphics m_graphics;
};

}  // namespace Utility
