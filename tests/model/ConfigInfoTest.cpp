// The settings record and "config.ini": defaults, key order, dates and bad values.
#include <gtest/gtest.h>

#include <algorithm>

#include "BoxTestSupport.h"
#include "model/CConfigInfo.h"

using Model::CConfigInfo;
using namespace BoxTest;

namespace {

void WriteIni(const std::wstring& path, const std::string& text)
{
    WriteBytes(path, Bytes(text.begin(), text.end()));
    // The profile functions cache files: forget what they hold of this one.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

}  // namespace

TEST(ConfigInfo, FreshFolderGivesTheDefaults)
{
    TempFolder folder;
    CConfigInfo config;
    const std::wstring path = folder / L"config.ini";
    EXPECT_EQ(CString(path.c_str()), CConfigInfo::FilePath(folder.Path().c_str()));
    ASSERT_TRUE(config.Load(path.c_str()));
    EXPECT_EQ(0, config.m_bLock);
    EXPECT_EQ(0, config.m_bShowExtension);
    EXPECT_EQ(0, config.m_bMouseHoverOpen);
    EXPECT_EQ(0, config.m_bRegisterAndMove);
    EXPECT_EQ(0, config.m_bRegisterAndMoveConfirmed);
    EXPECT_EQ(0, config.m_bCheckLatestVersion);
    EXPECT_EQ(1, config.m_bEntirelyMoveMode);
    EXPECT_TRUE(config.GetInstallDate().IsEmpty());
    EXPECT_EQ(CTime(2000, 1, 1, 0, 0, 0), config.m_verCheckDate);
    EXPECT_EQ(683, config.m_nEditDialogWidth);
    EXPECT_EQ(442, config.m_nEditDialogHeight);
    EXPECT_EQ(CString(path.c_str()), config.m_strPath);
    EXPECT_FALSE(Exists(path)) << "loading never creates the file";
}

TEST(ConfigInfo, SaveWritesEveryKeyInOrderAndReadsBack)
{
    TempFolder folder;
    const std::wstring path = folder / L"config.ini";
    CConfigInfo config;
    config.Load(path.c_str());
    config.m_bLock = TRUE;
    config.m_bCheckLatestVersion = TRUE;
    config.m_bEntirelyMoveMode = FALSE;
    config.m_nEditDialogWidth = 700;
    config.SetInstallDate(CTime(2016, 3, 29, 14, 5, 9));
    ASSERT_TRUE(config.Save());

    EXPECT_EQ("[option]\r\nlock=1\r\nshowExtension=0\r\nmouseHoverOpen=0\r\nregisterAndMove=0\r\n"
              "registerAndMoveConfirmed=0\r\ncheckLatestVersion=1\r\nentirelyMoveMode=0\r\n"
              "[install]\r\ndate=20160329_140509\r\n[verCheck]\r\ndate=2000/01/01\r\n"
              "[editDialog]\r\nwidth=700\r\nheight=442\r\n",
              ReadText(path));
    EXPECT_FALSE(Exists(path + L".temp"));

    CConfigInfo again;
    ASSERT_TRUE(again.Load(path.c_str()));
    EXPECT_EQ(1, again.m_bLock);
    EXPECT_EQ(1, again.m_bCheckLatestVersion);
    EXPECT_EQ(0, again.m_bEntirelyMoveMode);
    EXPECT_EQ(700, again.m_nEditDialogWidth);
    EXPECT_EQ(CString(L"20160329_140509"), again.GetInstallDate());
}

TEST(ConfigInfo, SaveToANewPathKeepsIt)
{
    TempFolder folder;
    CConfigInfo config;
    config.Load((folder / L"a.ini").c_str());
    ASSERT_TRUE(config.Save((folder / L"b.ini").c_str()));
    EXPECT_EQ(CString((folder / L"b.ini").c_str()), config.m_strPath);
    EXPECT_TRUE(Exists(folder / L"b.ini"));
    EXPECT_FALSE(Exists(folder / L"a.ini"));

    CConfigInfo unloaded;
    EXPECT_FALSE(unloaded.Save()) << "no path to save to";
}

TEST(ConfigInfo, CheckDateRoundTrip)
{
    TempFolder folder;
    const std::wstring path = folder / L"config.ini";
    WriteIni(path, "[verCheck]\r\ndate=2016/03/29\r\n");
    CConfigInfo config;
    config.Load(path.c_str());
    EXPECT_EQ(CTime(2016, 3, 29, 0, 0, 0), config.m_verCheckDate);
    EXPECT_EQ(2016, config.m_verCheckDate.GetYear());
    EXPECT_EQ(0, config.m_verCheckDate.GetHour());
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(CString(L"2016/03/29"), CConfigInfo::ReadString(L"verCheck", L"date", path.c_str()));

    WriteIni(path, "[verCheck]\r\ndate=\r\n");
    config.Load(path.c_str());
    EXPECT_EQ(CConfigInfo::GetNeverDate(), config.m_verCheckDate);
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(CString(L"2000/01/01"), CConfigInfo::ReadString(L"verCheck", L"date", path.c_str()));
}

TEST(ConfigInfo, ParseDateTakesOnlyRealDates)
{
    const CTime never = CConfigInfo::GetNeverDate();
    EXPECT_EQ(CTime(2000, 1, 1, 0, 0, 0), never);
    EXPECT_NE(0, never.GetTime());
    EXPECT_EQ(CTime(2016, 3, 29, 0, 0, 0), CConfigInfo::ParseDate(L"2016/03/29"));
    EXPECT_EQ(CTime(2016, 3, 29, 0, 0, 0), CConfigInfo::ParseDate(L"2016-03-29 and more")) << "separators";
    EXPECT_EQ(CTime(2016, 2, 29, 0, 0, 0), CConfigInfo::ParseDate(L"2016/02/29"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L""));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2016/03/2"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"1899/12/31"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"1950/06/15")) << "before the time type begins";
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"9999/12/31")) << "after it ends";
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2016/13/01"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2016/00/01"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2016/04/31"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2015/02/29"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"2016/03/00"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"abcd/ef/gh"));
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"-016/03/29"));
    // Leading digits only: "20x6" reads as 20, below 1900.
    EXPECT_EQ(never, CConfigInfo::ParseDate(L"20x6/03/29"));
    // "3x" reads as day 3.
    EXPECT_EQ(CTime(2016, 3, 3, 0, 0, 0), CConfigInfo::ParseDate(L"2016/03/3x"));
}

TEST(ConfigInfo, InstallDateFormat)
{
    CConfigInfo config;
    config.SetInstallDate(CTime(2016, 3, 29, 14, 5, 9));
    EXPECT_EQ(CString(L"20160329_140509"), config.GetInstallDate());
    EXPECT_EQ(CString(L"20160329_140509"), config.m_strInstallDate);
}

TEST(ConfigInfo, BadAndLongValues)
{
    TempFolder folder;
    const std::wstring path = folder / L"config.ini";
    WriteIni(path, "[option]\r\nlock=abc\r\nshowExtension=1x\r\n[install]\r\ndate=" + std::string(300, 'd') +
                       "\r\n[editDialog]\r\nwidth=12px\r\n[verCheck]\r\ndate=9999/99/99\r\n");
    CConfigInfo config;
    ASSERT_TRUE(config.Load(path.c_str()));
    EXPECT_EQ(0, config.m_bLock);
    EXPECT_EQ(1, config.m_bShowExtension);
    EXPECT_EQ(255, config.GetInstallDate().GetLength());
    EXPECT_EQ(12, config.m_nEditDialogWidth);
    EXPECT_EQ(442, config.m_nEditDialogHeight);
    EXPECT_EQ(CConfigInfo::GetNeverDate(), config.m_verCheckDate);
}

// The keys of a new file in the table's order, from "showExtension" on, as a fresh record has them.
#define KEYS_AFTER_LOCK                                                                      \
    "showExtension=0\r\nmouseHoverOpen=0\r\nregisterAndMove=0\r\nregisterAndMoveConfirmed=0\r\n" \
    "checkLatestVersion=0\r\nentirelyMoveMode=1\r\n"

// The sections after "option" of a new file, as a fresh record has them.
#define SECTIONS_AFTER_OPTION \
    "[install]\r\ndate=\r\n[verCheck]\r\ndate=2000/01/01\r\n[editDialog]\r\nwidth=683\r\nheight=442\r\n"

std::string Utf16(const std::wstring& text, bool bigEndian = false)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t ch : text) {
        const char low = static_cast<char>(ch & 0xFF), high = static_cast<char>(ch >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string LfOnly(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// A file as it was loaded, then saved: the program's keys are set, every other line stays.
TEST(ConfigInfo, SavingSetsTheKeysInTheFileAsItIs)
{
    const struct
    {
        std::string before;
        std::string after;
    } rows[] = {
        {"[option]\r\nlock=1\r\n", "[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION},
        {LfOnly("[option]\r\nlock=1\r\n"), LfOnly("[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION)},
        {"\xEF\xBB\xBF[option]\r\nlock=1\r\n",
         "\xEF\xBB\xBF[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION},
        {"[option]\r\n[mine]\r\n", "[option]\r\nlock=0\r\n" KEYS_AFTER_LOCK "[mine]\r\n" SECTIONS_AFTER_OPTION},
        {"; my comment\r\n[Option]\r\n lock = 0\r\nfuture=7\r\n; mine\r\n\r\n[mine]\nnote=keep me\r\n"
         "[editDialog]\r\nwidth=700",
         "; my comment\r\n[Option]\r\n lock =0\r\nfuture=7\r\n" KEYS_AFTER_LOCK "; mine\r\n\r\n[mine]\nnote=keep me\r\n"
         "[editDialog]\r\nwidth=700\r\nheight=442\r\n[install]\r\ndate=\r\n[verCheck]\r\ndate=2000/01/01\r\n"},
        {Utf16(L"[mine]\r\nnote=\u65e5\r\n[option]\r\nlock=1\r\n"),
         Utf16(L"[mine]\r\nnote=\u65e5\r\n[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION)},
        {Utf16(L"[option]\r\nlock=1\r\n", true),
         Utf16(L"[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION, true)},
    };
    TempFolder folder;
    const std::wstring path = folder / L"config.ini";
    for (const auto& row : rows) {
        WriteIni(path, row.before);
        CConfigInfo config;
        config.Load(path.c_str());
        ASSERT_TRUE(config.Save());
        EXPECT_EQ(row.after, ReadText(path));
    }
    // A file far larger than any settings file is not written over, nor one that the keys it
    // lacks would take past 1 MiB by one byte; one they take to 1 MiB is written, and saved
    // again. After: empty when the file stays as it was.
    const size_t mib = 1024 * 1024;
    const std::string full = "[option]\r\nlock=1\r\n" KEYS_AFTER_LOCK SECTIONS_AFTER_OPTION;
    const std::string lacking = full.substr(0, full.rfind("height="));
    const auto comment = [&](size_t saved) { return std::string(saved - full.size() - 2, ';') + "\r\n"; };
    const struct { std::string before; std::string after; } huge[] = {
        {"[option]\r\nlock=1\r\n" + std::string(mib, ';'), ""},
        {"[option]\r\nlock=1\r\n" + std::string(mib - 40, ';'), ""},
        {comment(mib) + lacking, comment(mib) + full},
        {comment(mib + 1) + lacking, ""},
    };
    for (const auto& row : huge) {
        WriteIni(path, row.before);
        CConfigInfo config;
        config.Load(path.c_str());
        for (int save = 0; save < 2; ++save) {
            EXPECT_EQ(!row.after.empty(), config.Save() != FALSE) << row.before.size();
            EXPECT_EQ(static_cast<DWORD>(row.after.empty() ? ERROR_FILE_TOO_LARGE : ERROR_SUCCESS), config.GetSaveError());
            EXPECT_EQ(row.after.empty() ? row.before : row.after, ReadText(path));
        }
    }
}

// A save killed at any moment leaves the file as one whole save wrote it: a child process of
// this test saves two records in turn until it is killed.
TEST(ConfigInfo, AKillDuringSavesLeavesOneWholeFile)
{
    const auto record = [](int n) {
        CConfigInfo config;
        config.m_bLock = config.m_bShowExtension = config.m_bEntirelyMoveMode = n;
        config.m_nEditDialogWidth = config.m_nEditDialogHeight = 600 + n;
        config.SetInstallDate(CTime(2020 + n, 1, 1, 0, 0, 0));
        return config;
    };
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TARNELO_CONFIG_SAVER", path, MAX_PATH)) {
        for (int i = 0; i < 100000; ++i)  // the child, until it is killed
            record(i % 2).Save(path);
        return;
    }
    TempFolder folder;
    ASSERT_TRUE(record(1).Save((folder / L"config.ini").c_str()));
    ::SetEnvironmentVariableW(L"TARNELO_CONFIG_SAVER", (folder / L"config.ini").c_str());
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring line = std::wstring(L"\"") + exe + L"\" --gtest_filter=ConfigInfo.AKillDuringSavesLeavesOneWholeFile";
    for (int round = 0; round < 12; ++round) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(::CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
        ::Sleep(300 + round * 37 % 200);
        ::TerminateProcess(child.hProcess, 9);
        ::WaitForSingleObject(child.hProcess, 10000);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        const std::string text = ReadText(folder / L"config.ini");
        EXPECT_TRUE(text == record(0).FileText() || text == record(1).FileText()) << round << ": " << text;
    }
    ::SetEnvironmentVariableW(L"TARNELO_CONFIG_SAVER", nullptr);
}
