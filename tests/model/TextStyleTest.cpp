// The text-style record: constructor values, copies, alignments and its stored encoding.
#include <gtest/gtest.h>

#include <cstring>

#include "model/CStyleArchiver.h"
#include "model/CTextStyle.h"
#include "model/StyleTestSupport.h"

using Model::CTextStyle;
using StyleTest::ByteBuilder;
using StyleTest::Bytes;

namespace {

// The encoding of a text style with the constructor's values and the given face: 18 words
// (72 bytes), with the face's UTF-16 bytes after the eighth word (its byte count).
Bytes ConstructorEncoding(const std::wstring& face)
{
    return ByteBuilder()
        .Int(0xFF000000).Int(1).Int(0).Int(0).Int(0)  // colour, reserved
        .Int(0).Int(0)                                // alignment, line alignment
        .Str(face)
        .Int(10).Int(0)                               // size, style
        .Int(0).Int(2).Int(1).Int(1).Int(0xFF808080)  // shadow
        .Int(0).Int(2).Int(0xFF404040)                // outline
        .Get();
}

Bytes SaveToBytes(const CTextStyle& style)
{
    BYTE buffer[512];
    const int n = style.Save(buffer, sizeof(buffer));
    return Bytes(buffer, buffer + n);
}

} // namespace

TEST(TextStyle, ConstructorValues)
{
    CTextStyle style;
    EXPECT_EQ(0xFF000000u, style.m_textColor);
    EXPECT_EQ(1, style.m_anReserved[0]);
    EXPECT_EQ(0, style.m_anReserved[1]);
    EXPECT_EQ(0, style.m_anReserved[2]);
    EXPECT_EQ(0, style.m_anReserved[3]);
    ASSERT_NE(nullptr, style.m_format);
    EXPECT_EQ(Gdiplus::Ok, style.m_format->GetLastStatus());
    EXPECT_EQ(0x1804, style.m_format->GetFormatFlags());
    EXPECT_EQ(Gdiplus::StringAlignmentNear, style.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentNear, style.m_format->GetLineAlignment());
    EXPECT_TRUE(style.m_strFontFace.IsEmpty());
    EXPECT_EQ(10, style.m_nFontSize);
    EXPECT_EQ(0, style.m_nFontStyle);
    EXPECT_FALSE(style.m_bShadow);
    EXPECT_EQ(2, style.m_nShadowThickness);
    EXPECT_EQ(1, style.m_shadowOffset.x);
    EXPECT_EQ(1, style.m_shadowOffset.y);
    EXPECT_EQ(0xFF808080u, style.m_shadowColor);
    EXPECT_FALSE(style.m_bOutline);
    EXPECT_EQ(2, style.m_nOutlineThickness);
    EXPECT_EQ(0xFF404040u, style.m_outlineColor);
}

TEST(TextStyle, SetFontAndSetAlignment)
{
    CTextStyle style;
    style.SetFont(L"Arial", 14, 3);
    EXPECT_EQ(CString(L"Arial"), style.m_strFontFace);
    EXPECT_EQ(14, style.m_nFontSize);
    EXPECT_EQ(3, style.m_nFontStyle);
    style.SetFont(nullptr, 9, 0);
    EXPECT_TRUE(style.m_strFontFace.IsEmpty());

    style.SetAlignment(1, 2);
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, style.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentFar, style.m_format->GetLineAlignment());
    style.SetAlignment(5, 1);
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, style.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, style.m_format->GetLineAlignment());
    style.SetAlignment(2, -1);
    EXPECT_EQ(Gdiplus::StringAlignmentFar, style.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, style.m_format->GetLineAlignment());
}

TEST(TextStyle, CopiesOwnTheirFormat)
{
    CTextStyle source;
    source.SetFont(L"Tahoma", 20, 1);
    source.SetAlignment(2, 1);
    source.m_format->SetFormatFlags(0x1000);
    source.m_textColor = 0x12345678;
    source.m_anReserved[3] = 9;
    source.m_bShadow = TRUE;
    source.m_shadowOffset = POINT{ 3, -2 };
    source.m_bOutline = TRUE;
    source.m_outlineColor = 0xFF00FF00;

    CTextStyle copy(source);
    EXPECT_NE(source.m_format, copy.m_format);
    EXPECT_EQ(Gdiplus::StringAlignmentFar, copy.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, copy.m_format->GetLineAlignment());
    EXPECT_EQ(0x1000, copy.m_format->GetFormatFlags());
    EXPECT_EQ(SaveToBytes(source), SaveToBytes(copy));

    CTextStyle assigned;
    assigned = source;
    EXPECT_EQ(SaveToBytes(source), SaveToBytes(assigned));
    assigned = assigned;  // self-assignment keeps everything
    EXPECT_EQ(SaveToBytes(source), SaveToBytes(assigned));

    // Changing the copy leaves the source alone.
    copy.SetAlignment(0, 0);
    EXPECT_EQ(Gdiplus::StringAlignmentFar, source.m_format->GetAlignment());
}

TEST(TextStyle, EncodesArialIn82Bytes)
{
    CTextStyle style;
    style.SetFont(L"Arial", 10, 0);
    const Bytes bytes = SaveToBytes(style);
    ASSERT_EQ(82u, bytes.size());
    EXPECT_EQ(ConstructorEncoding(L"Arial"), bytes);
    EXPECT_EQ(10, bytes[28]);  // the byte count of the face

    const Bytes literal = {
        0x00, 0x00, 0x00, 0xFF,  0x01, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
        0, 0, 0, 0,  0, 0, 0, 0,  0x0A, 0, 0, 0,
        0x41, 0x00, 0x72, 0x00, 0x69, 0x00, 0x61, 0x00, 0x6C, 0x00,
        0x0A, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0x02, 0, 0, 0,  0x01, 0, 0, 0,  0x01, 0, 0, 0,
        0x80, 0x80, 0x80, 0xFF,  0, 0, 0, 0,  0x02, 0, 0, 0,  0x40, 0x40, 0x40, 0xFF,
    };
    EXPECT_EQ(literal, bytes);
}

TEST(TextStyle, EmptyFaceEncodesACountOfZero)
{
    CTextStyle style;
    const Bytes bytes = SaveToBytes(style);
    ASSERT_EQ(72u, bytes.size());
    EXPECT_EQ(ConstructorEncoding(L""), bytes);

    CTextStyle loaded;
    loaded.SetFont(L"Something", 1, 1);
    EXPECT_EQ(72, loaded.Load(bytes.data(), static_cast<int>(bytes.size())));
    EXPECT_TRUE(loaded.m_strFontFace.IsEmpty());
}

TEST(TextStyle, RoundTripsEveryField)
{
    CTextStyle style;
    style.m_textColor = 0x80112233;
    style.m_anReserved[0] = 5; style.m_anReserved[1] = -6; style.m_anReserved[2] = 7; style.m_anReserved[3] = 8;
    style.SetAlignment(2, 1);
    style.SetFont(L"Meiryo UI", 18, 2);
    style.m_bShadow = TRUE;
    style.m_nShadowThickness = 4;
    style.m_shadowOffset = POINT{ -3, 5 };
    style.m_shadowColor = 0x01020304;
    style.m_bOutline = TRUE;
    style.m_nOutlineThickness = 6;
    style.m_outlineColor = 0xA0B0C0D0;
    const Bytes bytes = SaveToBytes(style);
    ASSERT_EQ(72u + 18u, bytes.size());

    CTextStyle loaded;
    EXPECT_EQ(90, loaded.Load(bytes.data(), static_cast<int>(bytes.size())));
    EXPECT_EQ(bytes, SaveToBytes(loaded));
    EXPECT_EQ(Gdiplus::StringAlignmentFar, loaded.m_format->GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, loaded.m_format->GetLineAlignment());
    EXPECT_EQ(-3, loaded.m_shadowOffset.x);
    EXPECT_EQ(0xA0B0C0D0u, loaded.m_outlineColor);
}

TEST(TextStyle, ShortDataRaisesOverrunAtEveryLength)
{
    CTextStyle style;
    style.SetFont(L"Arial", 10, 0);
    const Bytes bytes = SaveToBytes(style);
    ASSERT_EQ(82u, bytes.size());
    for (size_t n = 0; n < bytes.size(); ++n) {
        CTextStyle loaded;
        bool overrun = false;
        try {
            loaded.Load(bytes.data(), static_cast<int>(n));
        } catch (const CStyleArchiverError& error) {
            overrun = std::wstring(error.GetText()) == L"CStyleArchiver overrun";
        }
        EXPECT_TRUE(overrun) << n;
    }
    // A buffer one byte short for saving fails the same way.
    BYTE buffer[81];
    EXPECT_THROW(style.Save(buffer, 81), CStyleArchiverError);
}

TEST(TextStyle, FaceWithANulReadsAsTheTextBeforeIt)
{
    const Bytes withNul = ByteBuilder()
        .Int(0xFF000000).Int(1).Int(0).Int(0).Int(0).Int(0).Int(0)
        .Str(std::wstring(L"Ab\0cd", 5))
        .Int(10).Int(0).Int(0).Int(2).Int(1).Int(1).Int(0xFF808080).Int(0).Int(2).Int(0xFF404040)
        .Get();
    CTextStyle loaded;
    EXPECT_EQ(82, loaded.Load(withNul.data(), static_cast<int>(withNul.size())));
    EXPECT_EQ(CString(L"Ab"), loaded.m_strFontFace);
    EXPECT_EQ(10, loaded.m_nFontSize);
}

TEST(TextStyle, NestedInAnArchiveAdvancesByItsLength)
{
    CTextStyle style;
    style.SetFont(L"Arial", 12, 0);
    CStyleArchiver writer;
    writer.AllocateForWrite(200);
    writer.WriteInt(42);
    writer.WriteTextStyle(style);
    writer.WriteInt(43);
    ASSERT_EQ(4 + 82 + 4, writer.GetPosition());

    CStyleArchiver reader;
    reader.CopyForRead(writer.GetBuffer(), writer.GetPosition());
    EXPECT_EQ(42, reader.ReadInt());
    CTextStyle loaded;
    reader.ReadTextStyle(loaded);
    EXPECT_EQ(12, loaded.m_nFontSize);
    EXPECT_EQ(43, reader.ReadInt());

    // A nested record that does not fit raises the same overrun.
    CStyleArchiver small;
    small.AllocateForWrite(50);
    small.WriteInt(1);
    EXPECT_THROW(small.WriteTextStyle(style), CStyleArchiverError);
    CStyleArchiver cut;
    cut.CopyForRead(writer.GetBuffer(), 60);
    cut.ReadInt();
    EXPECT_THROW(cut.ReadTextStyle(loaded), CStyleArchiverError);
}
