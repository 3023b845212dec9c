// The maker's option VS_NEWER_OUTLOOK: after the six component codes, Outlook's qualified
// components of the 2016+ and then the 2013 category. Stand-in entries of the Windows Installer
// seam say which codes are installed and which qualifiers each category publishes, and note
// every query; one package that publishes Outlook's qualifier shows Windows Installer itself.
#include "app/msi_api.h"
#include "app/outlook_detection.h"
#include "tests/win/app/child_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSixCodes = {
    "{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}", "{CC29EA4B-7BC2-11D1-A921-00A0C91E2AA2}",
    "{3CE26368-6322-4ABF-B11B-458F5C450D0F}", "{0638C49D-BB8B-4CD1-B191-055E8F325736}",
    "{DE6A97CD-93BF-455C-A45F-7694344B686F}", "{CFF13DD8-6EF2-49EB-B265-E3BFC6501C1D}",
};
const std::string kOutlook2016 = "{5812C571-53F0-4467-BEFA-0A4F47A9437C}";
const std::string kOutlook2013 = "{E83B4360-C208-4325-9504-0D23003A74A5}";

std::set<std::string> g_installed;                           // codes the stand-in calls local
std::map<std::string, std::vector<std::string>> g_published; // category: qualifiers, in their order
std::vector<std::string> g_located;                          // codes asked, in order
std::vector<std::string> g_enumerated;                       // the category of every enumeration call

INSTALLSTATE WINAPI StandInLocate(LPCSTR code, LPSTR, LPDWORD)
{
    g_located.push_back(code);
    return g_installed.count(code) ? INSTALLSTATE_LOCAL : INSTALLSTATE_UNKNOWN;
}

UINT WINAPI StandInEnumerate(LPCSTR category, DWORD index, LPSTR qualifier, LPDWORD size, LPSTR, LPDWORD)
{
    g_enumerated.push_back(category);
    const auto found = g_published.find(category);
    if (found == g_published.end())
        return ERROR_UNKNOWN_COMPONENT;
    if (index >= found->second.size())
        return ERROR_NO_MORE_ITEMS;
    const std::string& name = found->second[index];
    if (name.size() >= *size) {
        *size = static_cast<DWORD>(name.size());
        return ERROR_MORE_DATA;
    }
    std::strcpy(qualifier, name.c_str());
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// A broken registration whose every entry is too long, without end.
UINT WINAPI EndlessEnumerate(LPCSTR category, DWORD, LPSTR, LPDWORD size, LPSTR, LPDWORD)
{
    g_enumerated.push_back(category);
    *size = 1000;
    return ERROR_MORE_DATA;
}

class NewerOutlookDetection : public testing::Test {
protected:
    void SetUp() override
    {
        g_installed.clear();
        g_published.clear();
        g_located.clear();
        g_enumerated.clear();
        m_real = Msi();
        ASSERT_NE(m_real.LocateComponent, nullptr);
        ASSERT_NE(m_real.EnumComponentQualifiers, nullptr);
        Use(StandInLocate, StandInEnumerate);
    }

    void Use(decltype(MsiFunctions::LocateComponent) locate,
             decltype(MsiFunctions::EnumComponentQualifiers) enumerate)
    {
        MsiFunctions functions = m_real;
        functions.LocateComponent = locate;
        functions.EnumComponentQualifiers = enumerate;
        m_msi.reset();
        m_msi.emplace(functions);
    }

    void UseWindowsInstaller() { m_msi.reset(); }

    static void PublishEverything()
    {
        g_published[kOutlook2016] = {"outlook.exe", "outlook.x64.exe"};
        g_published[kOutlook2013] = {"outlook.exe", "outlook.x64.exe"};
    }

    // The categories asked, each once however many of its qualifiers were read.
    static std::vector<std::string> AskedCategories()
    {
        std::vector<std::string> categories;
        for (const std::string& category : g_enumerated)
            if (categories.empty() || categories.back() != category)
                categories.push_back(category);
        return categories;
    }

    static OutlookArchitecture Detect()
    {
        g_located.clear();
        g_enumerated.clear();
        return DetectOutlook(OutlookSearch::NewerOutlookToo);
    }

    MsiFunctions m_real;
    std::optional<ScopedMsiFunctions> m_msi;
};

TEST_F(NewerOutlookDetection, AnyOfTheSixCodesWinsOverEveryQualifiedComponent)
{
    PublishEverything();
    for (size_t i = 0; i < kSixCodes.size(); ++i) {
        SCOPED_TRACE(kSixCodes[i]);
        g_installed = {kSixCodes[i]};
        EXPECT_EQ(Detect(), i == 0 ? OutlookArchitecture::X64 : OutlookArchitecture::X86);
        EXPECT_EQ(g_located, std::vector<std::string>(kSixCodes.begin(), kSixCodes.begin() + i + 1));
        EXPECT_TRUE(g_enumerated.empty());
    }
    // None of the six: the qualified components answer.
    g_installed.clear();
    EXPECT_EQ(Detect(), OutlookArchitecture::X64);
    EXPECT_EQ(g_located, kSixCodes);
}

TEST_F(NewerOutlookDetection, TheX64QualifierIsTriedBeforeTheX86One)
{
    for (const std::string& category : {kOutlook2016, kOutlook2013}) {
        SCOPED_TRACE(category);
        // Windows Installer lists qualifiers in no order: the 32-bit one may come first.
        g_published = {{category, {"outlook.exe", "outlook.x64.exe"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::X64);
        g_published = {{category, {"outlook.x64.exe", "outlook.exe"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::X64);
        g_published = {{category, {"outlook.exe"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::X86);
        g_published = {{category, {"outlook.x64.exe"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::X64);
        // Qualifiers are registry value names: their case does not count.
        g_published = {{category, {"Outlook.EXE"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::X86);
        // Other qualifiers, a longer one too, are another program's.
        g_published = {{category, {"outlook.exe.old", "winword.exe", std::string(300, 'o'), "outlook"}}};
        EXPECT_EQ(Detect(), OutlookArchitecture::None);
    }
}

TEST_F(NewerOutlookDetection, The2016CategoryIsTriedBeforeThe2013One)
{
    g_published = {{kOutlook2016, {"outlook.exe"}}, {kOutlook2013, {"outlook.x64.exe"}}};
    EXPECT_EQ(Detect(), OutlookArchitecture::X86);
    EXPECT_EQ(AskedCategories(), std::vector<std::string>{kOutlook2016});

    g_published = {{kOutlook2013, {"outlook.x64.exe"}}};
    EXPECT_EQ(Detect(), OutlookArchitecture::X64);
    EXPECT_EQ(AskedCategories(), (std::vector<std::string>{kOutlook2016, kOutlook2013}));

    // A 2016+ category that publishes no Outlook qualifier leaves it to the 2013 one.
    g_published = {{kOutlook2016, {"mapi32.dll"}}, {kOutlook2013, {"outlook.exe"}}};
    EXPECT_EQ(Detect(), OutlookArchitecture::X86);

    g_published.clear();
    EXPECT_EQ(Detect(), OutlookArchitecture::None);
    EXPECT_EQ(AskedCategories(), (std::vector<std::string>{kOutlook2016, kOutlook2013}));
}

TEST_F(NewerOutlookDetection, WithOffNoQualifiedComponentIsAsked)
{
    PublishEverything();
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
    EXPECT_EQ(g_located, kSixCodes);
    EXPECT_TRUE(g_enumerated.empty());

    g_installed = {kSixCodes[5]};
    g_located.clear();
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::X86);
    EXPECT_TRUE(g_enumerated.empty());
}

TEST_F(NewerOutlookDetection, TroubleInTheRegistrationReadsAsNoOutlook)
{
    // A list that never ends is read only so far.
    Use(StandInLocate, EndlessEnumerate);
    EXPECT_EQ(Detect(), OutlookArchitecture::None);
    EXPECT_LE(g_enumerated.size(), 2u * 256u);
    EXPECT_EQ(AskedCategories(), (std::vector<std::string>{kOutlook2016, kOutlook2013}));

    // A Windows Installer without the entry point, or none at all.
    PublishEverything();
    Use(StandInLocate, nullptr);
    EXPECT_EQ(Detect(), OutlookArchitecture::None);
    Use(nullptr, nullptr);
    EXPECT_EQ(Detect(), OutlookArchitecture::None);
}

// Windows Installer itself: a package that publishes "outlook.exe" in the 2016+ category, as
// Office does, and nothing else Outlook's. Removed again, it leaves no qualifier behind.
TEST_F(NewerOutlookDetection, APublishedQualifierOfAnInstalledPackageAnswers)
{
    UseWindowsInstaller();
    EXPECT_EQ(DetectOutlook(OutlookSearch::NewerOutlookToo), OutlookArchitecture::None);
    {
        InstalledPackage outlook(BuildTreePath(VS_TEST_PACKAGE_DIR) + "\\outlook_2016_x86.msi");
        ASSERT_EQ(outlook.Result(), 0u);
        EXPECT_EQ(DetectOutlook(OutlookSearch::NewerOutlookToo), OutlookArchitecture::X86);
        EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
    }
    EXPECT_EQ(DetectOutlook(OutlookSearch::NewerOutlookToo), OutlookArchitecture::None);
}

} // namespace
