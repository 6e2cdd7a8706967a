// An owner-drawn static control that shows one image file through GDI+ at the image's own
// size: setting an image sizes the control to it.
#pragma once

#include <windows.h>

#include "framework/CStatic.h"
#include "framework/CString.h"

namespace Gdiplus {
class GpImage;
class GpGraphics;
}  // namespace Gdiplus

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

    // The image's size in pixels; 0 x 0 without a usable image.
    UINT GetImageWidth() const;
    UINT GetImageHeight() const;

protected:
    // Loads the image of the path and places the control at (x, y) with its size.
    void ShowImage(const CString& path, int x, int y);
    void FreeImage();

    wchar_t m_wsFilename[MAX_PATH];
    Gdiplus::GpImage* m_img = nullptr;
    Gdiplus::GpGraphics* m_graphics = nullptr;
};

}  // namespace Utility
