// The memory archive: typed accesses, little-endian layout, overrun and mode checks, and
// stored lengths that must never be trusted.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "model/CStyleArchiver.h"
#include "model/CTextStyle.h"
#include "model/StyleTestSupport.h"

using StyleTest::ByteBuilder;
using StyleTest::Bytes;

namespace {

bool RaisesOverrun(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CStyleArchiverError& error) {
        return std::wstring(error.GetText()) == L"CStyleArchiver overrun";
    }
    return false;
}

bool RaisesModeMismatch(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::logic_error& error) {
        return std::string(error.what()) == "Mode mismatch";
    }
    return false;
}

} // namespace

TEST(StyleArchiver, WritesLittleEndianTypedValues)
{
    CStyleArchiver ar;
    ar.AllocateForWrite(64);
    EXPECT_EQ(CStyleArchiver::modeWrite, ar.GetMode());
    ar.WriteInt(0x01020304);
    ar.WriteColor(0xFE87CEEB);
    ar.WritePoint(POINT{ -1, 7 });
    ar.WriteMargins(MARGINS{ 1, 2, 3, 4 });
    ar.WriteString(CString(L"A\x3042"));
    const Bytes expected = {
        0x04, 0x03, 0x02, 0x01,  0xEB, 0xCE, 0x87, 0xFE,
        0xFF, 0xFF, 0xFF, 0xFF,  0x07, 0x00, 0x00, 0x00,
        0x01, 0, 0, 0,  0x02, 0, 0, 0,  0x03, 0, 0, 0,  0x04, 0, 0, 0,
        0x04, 0, 0, 0,  0x41, 0x00, 0x42, 0x30,
    };
    ASSERT_EQ(static_cast<int>(expected.size()), ar.GetPosition());
    EXPECT_EQ(0, std::memcmp(expected.data(), ar.GetBuffer(), expected.size()));
}

TEST(StyleArchiver, ReadsWhatWasWritten)
{
    const Bytes bytes = ByteBuilder().Int(0xFFFFFFFE).Int(5).Int(6).Int(9).Int(8).Int(7).Int(6)
                                     .Str(L"Meiryo UI").Get();
    CStyleArchiver ar;
    ar.CopyForRead(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(CStyleArchiver::modeRead, ar.GetMode());
    EXPECT_EQ(-2, ar.ReadInt());
    const POINT pt = ar.ReadPoint();
    EXPECT_EQ(5, pt.x);
    EXPECT_EQ(6, pt.y);
    const MARGINS m = ar.ReadMargins();
    EXPECT_EQ(9, m.cxLeftWidth);
    EXPECT_EQ(8, m.cxRightWidth);
    EXPECT_EQ(7, m.cyTopHeight);
    EXPECT_EQ(6, m.cyBottomHeight);
    EXPECT_EQ(CString(L"Meiryo UI"), ar.ReadString());
    EXPECT_EQ(static_cast<int>(bytes.size()), ar.GetPosition());
}

TEST(StyleArchiver, EveryReadPastTheEndRaisesOverrun)
{
    const Bytes three = { 1, 2, 3 };
    CStyleArchiver ar;
    ar.CopyForRead(three.data(), 3);
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadInt(); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadPoint(); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadMargins(); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadString(); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadStringFormat(nullptr); }));
    EXPECT_EQ(0, ar.GetPosition());

    const Bytes seven(7, 0);
    ar.CopyForRead(seven.data(), 7);
    ar.ReadInt();
    EXPECT_TRUE(RaisesOverrun([&] { ar.ReadInt(); }));
    EXPECT_EQ(4, ar.GetPosition());
}

TEST(StyleArchiver, EveryWritePastTheEndRaisesOverrunAndWritesNothing)
{
    BYTE buffer[10];
    std::memset(buffer, 0xCC, sizeof(buffer));
    CStyleArchiver ar;
    ar.AttachForWrite(buffer, 6);
    ar.WriteInt(0);
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteInt(1); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteColor(1); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.WritePoint(POINT{ 1, 1 }); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteMargins(MARGINS{}); }));
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteString(CString()); }));  // the count alone is 4
    EXPECT_EQ(4, ar.GetPosition());
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(0xCC, buffer[i]) << i;

    ar.AttachForWrite(buffer, 9);
    ar.WriteInt(0);
    // The count fits, the characters do not.
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteString(CString(L"ab")); }));
    EXPECT_EQ(4, ar.GetPosition());
}

TEST(StyleArchiver, StoredStringLengthsAreNeverTrusted)
{
    const int counts[] = { -1, -2, -4, INT_MIN, INT_MAX, INT_MAX - 3, 0x7FFFFFF0, 6, 1000000 };
    for (int count : counts) {
        const Bytes bytes = ByteBuilder().Int(static_cast<uint32_t>(count)).Int(0x00410041).Get();
        CStyleArchiver ar;
        ar.CopyForRead(bytes.data(), static_cast<int>(bytes.size()));
        EXPECT_TRUE(RaisesOverrun([&] { ar.ReadString(); })) << count;
        EXPECT_EQ(0, ar.GetPosition()) << count;
    }
    // A count that fits exactly is fine, and an odd one drops the unpaired byte.
    const Bytes exact = ByteBuilder().Int(4).Int(0x00420041).Get();
    CStyleArchiver ar;
    ar.CopyForRead(exact.data(), static_cast<int>(exact.size()));
    EXPECT_EQ(CString(L"AB"), ar.ReadString());
    const Bytes odd = ByteBuilder().Int(3).Int(0x00420041).Get();
    ar.CopyForRead(odd.data(), static_cast<int>(odd.size()));
    EXPECT_EQ(CString(L"A"), ar.ReadString());
    EXPECT_EQ(7, ar.GetPosition());
}

TEST(StyleArchiver, StringsEndAtAnEmbeddedNulAndMayBeEmpty)
{
    const Bytes bytes = ByteBuilder().Int(8).Int(0x00620061).Int(0x00630000).Int(0).Get();
    CStyleArchiver ar;
    ar.CopyForRead(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(CString(L"ab"), ar.ReadString());
    EXPECT_EQ(12, ar.GetPosition());
    EXPECT_EQ(CString(L""), ar.ReadString());
    EXPECT_EQ(16, ar.GetPosition());
}

TEST(StyleArchiver, ModeIsCheckedOnEveryAccess)
{
    const Bytes bytes(32, 0);
    CStyleArchiver reader;
    reader.CopyForRead(bytes.data(), 32);
    EXPECT_TRUE(RaisesModeMismatch([&] { reader.WriteInt(1); }));
    EXPECT_TRUE(RaisesModeMismatch([&] { reader.WriteString(CString(L"x")); }));
    Model::CTextStyle style;
    EXPECT_TRUE(RaisesModeMismatch([&] { reader.WriteTextStyle(style); }));

    CStyleArchiver writer;
    writer.AllocateForWrite(32);
    EXPECT_TRUE(RaisesModeMismatch([&] { writer.ReadInt(); }));
    EXPECT_TRUE(RaisesModeMismatch([&] { writer.ReadString(); }));

    CStyleArchiver idle;
    EXPECT_EQ(CStyleArchiver::modeNone, idle.GetMode());
    // With no buffer the overrun check comes first.
    EXPECT_TRUE(RaisesOverrun([&] { idle.ReadInt(); }));
}

TEST(StyleArchiver, AttachedBuffersStayTheCallers)
{
    BYTE buffer[8] = {};
    {
        CStyleArchiver ar;
        ar.AttachForWrite(buffer, 8);
        ar.WriteInt(0x11223344);
        ar.Free();
        ar.Free();
        EXPECT_EQ(buffer, ar.GetBuffer());
    }  // the destructor leaves the buffer alone too
    EXPECT_EQ(0x44, buffer[0]);
    EXPECT_EQ(0x11, buffer[3]);

    // Negative sizes give an empty archive, not a huge one.
    CStyleArchiver ar;
    ar.AttachForWrite(buffer, -5);
    EXPECT_EQ(0, ar.GetSize());
    EXPECT_TRUE(RaisesOverrun([&] { ar.WriteInt(1); }));
    ar.AllocateForWrite(-1);
    EXPECT_EQ(0, ar.GetSize());
    ar.CopyForRead(nullptr, 100);
    EXPECT_EQ(0, ar.GetSize());
    ar.Reset();
    EXPECT_EQ(CStyleArchiver::modeNone, ar.GetMode());
}

TEST(StyleArchiver, StringFormatAlignmentsFromAFileAreChecked)
{
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentFar);

    const Bytes bytes = ByteBuilder().Int(7).Int(0xFFFFFFFF).Int(2).Int(0).Get();
    CStyleArchiver ar;
    ar.CopyForRead(bytes.data(), static_cast<int>(bytes.size()));
    ar.ReadStringFormat(&format);  // neither value names an alignment
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, format.GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentFar, format.GetLineAlignment());
    ar.ReadStringFormat(&format);
    EXPECT_EQ(Gdiplus::StringAlignmentFar, format.GetAlignment());
    EXPECT_EQ(Gdiplus::StringAlignmentNear, format.GetLineAlignment());
    EXPECT_EQ(16, ar.GetPosition());

    CStyleArchiver writer;
    writer.AllocateForWrite(16);
    writer.WriteStringFormat(&format);
    writer.WriteStringFormat(nullptr);
    const Bytes expected = ByteBuilder().Int(2).Int(0).Int(0).Int(0).Get();
    EXPECT_EQ(0, std::memcmp(expected.data(), writer.GetBuffer(), 16));
}
