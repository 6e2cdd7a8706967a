#include "model/CTextStyle.h"

#include "model/CStyleArchiver.h"

namespace Model {

CTextStyle::CTextStyle()
    : m_textColor(0xFF000000),
      m_anReserved{ 1, 0, 0, 0 },
      m_format(new Gdiplus::StringFormat(kDefaultFormatFlags, LANG_NEUTRAL)),
      m_nFontSize(10),
      m_nFontStyle(0),
      m_bShadow(FALSE),
      m_nShadowThickness(2),
      m_shadowOffset{ 1, 1 },
      m_shadowColor(0xFF808080),
      m_bOutline(FALSE),
      m_nOutlineThickness(2),
      m_outlineColor(0xFF404040)
{
    m_format->SetAlignment(Gdiplus::StringAlignmentNear);
    m_format->SetLineAlignment(Gdiplus::StringAlignmentNear);
}

CTextStyle::CTextStyle(const CTextStyle& other) : CTextStyle()
{
    *this = other;
}

CTextStyle& CTextStyle::operator=(const CTextStyle& other)
{
    if (this == &other)
        return *this;
    m_textColor = other.m_textColor;
    for (int i = 0; i < 4; ++i)
        m_anReserved[i] = other.m_anReserved[i];
    // Each record owns its format: copy what the format says, not the object.
    m_format->SetAlignment(other.m_format->GetAlignment());
    m_format->SetLineAlignment(other.m_format->GetLineAlignment());
    m_format->SetFormatFlags(other.m_format->GetFormatFlags());
    m_strFontFace = other.m_strFontFace;
    m_nFontSize = other.m_nFontSize;
    m_nFontStyle = other.m_nFontStyle;
    m_bShadow = other.m_bShadow;
    m_nShadowThickness = other.m_nShadowThickness;
    m_shadowOffset = other.m_shadowOffset;
    m_shadowColor = other.m_shadowColor;
    m_bOutline = other.m_bOutline;
    m_nOutlineThickness = other.m_nOutlineThickness;
    m_outlineColor = other.m_outlineColor;
    return *this;
}

CTextStyle::~CTextStyle()
{
    delete m_format;
}

void CTextStyle::SetFont(const wchar_t* face, int size, int style)
{
    m_strFontFace = face;
    m_nFontSize = size;
    m_nFontStyle = style;
}

namespace {

bool ToAlignment(int value, Gdiplus::StringAlignment& alignment)
{
    switch (value) {
    case 0: alignment = Gdiplus::StringAlignmentNear; return true;
    case 1: alignment = Gdiplus::StringAlignmentCenter; return true;
    case 2: alignment = Gdiplus::StringAlignmentFar; return true;
    default: return false;
    }
}

} // namespace

void CTextStyle::SetAlignment(int horizontal, int vertical)
{
    Gdiplus::StringAlignment alignment;
    if (ToAlignment(horizontal, alignment))
        m_format->SetAlignment(alignment);
    if (ToAlignment(vertical, alignment))
        m_format->SetLineAlignment(alignment);
}

int CTextStyle::Save(BYTE* buffer, int size) const
{
    CStyleArchiver ar;
    ar.AttachForWrite(buffer, size);
    ar.WriteColor(m_textColor);
    for (int i = 0; i < 4; ++i)
        ar.WriteInt(m_anReserved[i]);
    ar.WriteStringFormat(m_format);
    ar.WriteString(m_strFontFace);
    ar.WriteInt(m_nFontSize);
    ar.WriteInt(m_nFontStyle);
    ar.WriteInt(m_bShadow);
    ar.WriteInt(m_nShadowThickness);
    ar.WritePoint(m_shadowOffset);
    ar.WriteColor(m_shadowColor);
    ar.WriteInt(m_bOutline);
    ar.WriteInt(m_nOutlineThickness);
    ar.WriteColor(m_outlineColor);
    return ar.GetPosition();
}

int CTextStyle::Load(const BYTE* data, int size)
{
    CStyleArchiver ar;
    ar.CopyForRead(data, size);
    m_textColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
    for (int i = 0; i < 4; ++i)
        m_anReserved[i] = ar.ReadInt();
    ar.ReadStringFormat(m_format);
    m_strFontFace = ar.ReadString();
    m_nFontSize = ar.ReadInt();
    m_nFontStyle = ar.ReadInt();
    m_bShadow = ar.ReadInt();
    m_nShadowThickness = ar.ReadInt();
    m_shadowOffset = ar.ReadPoint();
    m_shadowColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
    m_bOutline = ar.ReadInt();
    m_nOutlineThickness = ar.ReadInt();
    m_outlineColor = static_cast<Gdiplus::ARGB>(ar.ReadInt());
    return ar.GetPosition();
}

} // namespace Model
