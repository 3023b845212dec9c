// Outlook detection against Windows Installer itself: small packages that carry Outlook's
// component codes are installed into the prefix. Every query still goes to the real
// MsiLocateComponentA; a forwarding entry only notes which codes were asked, in which order.
// States a real installation cannot produce on demand come from a stand-in entry.
#include "app/msi_api.h"
#include "app/outlook_detection.h"
#include "tests/win/app/child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kComponentsInOrder = {
    "{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}", "{CC29EA4B-7BC2-11D1-A921-00A0C91E2AA2}",
    "{3CE26368-6322-4ABF-B11B-458F5C450D0F}", "{0638C49D-BB8B-4CD1-B191-055E8F325736}",
    "{DE6A97CD-93BF-455C-A45F-7694344B686F}", "{CFF13DD8-6EF2-49EB-B265-E3BFC6501C1D}",
};

struct Query {
    std::string code;
    std::string path;  // the buffer as the caller handed it in
    DWORD size;
};

std::vector<Query> g_queries;
MsiFunctions g_real;
// What the stand-in entry answers for each code, in table order; unset codes are unknown.
std::vector<INSTALLSTATE> g_states;

void Note(LPCSTR code, LPSTR path, LPDWORD size) { g_queries.push_back({code, path, *size}); }

INSTALLSTATE WINAPI ForwardToMsi(LPCSTR code, LPSTR path, LPDWORD size)
{
    Note(code, path, size);
    return g_real.LocateComponent(code, path, size);
}

INSTALLSTATE WINAPI StandInLocate(LPCSTR code, LPSTR path, LPDWORD size)
{
    Note(code, path, size);
    // Scribble over the caller's buffer and size, as a long path would.
    std::fill(path, path + *size, 'x');
    *size = 5;
    for (size_t i = 0; i < kComponentsInOrder.size() && i < g_states.size(); ++i)
        if (kComponentsInOrder[i] == code)
            return g_states[i];
    return INSTALLSTATE_UNKNOWN;
}

class OutlookDetection : public testing::Test {
protected:
    void SetUp() override
    {
        g_queries.clear();
        g_states.clear();
        g_real = Msi();
        ASSERT_NE(g_real.LocateComponent, nullptr);
    }

    void Use(decltype(MsiFunctions::LocateComponent) locate)
    {
        MsiFunctions functions = g_real;
        functions.LocateComponent = locate;
        m_msi.emplace(functions);
    }

    std::optional<ScopedMsiFunctions> m_msi;

    static std::vector<std::string> AskedCodes()
    {
        std::vector<std::string> codes;
        for (const Query& query : g_queries)
            codes.push_back(query.code);
        return codes;
    }

    static std::string Package(const char* name) { return BuildTreePath(VS_TEST_PACKAGE_DIR) + "\\" + name; }
};

std::vector<std::string> FirstComponents(size_t count)
{
    return std::vector<std::string>(kComponentsInOrder.begin(), kComponentsInOrder.begin() + count);
}

TEST_F(OutlookDetection, InstalledComponentsDecideInTheirOrder)
{
    Use(ForwardToMsi);
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
    EXPECT_EQ(AskedCodes(), kComponentsInOrder);

    {
        InstalledPackage outlook(Package("outlook_component6.msi"));
        ASSERT_EQ(outlook.Result(), 0u);
        g_queries.clear();
        EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::X86);
        EXPECT_EQ(AskedCodes(), kComponentsInOrder);
    }
    {
        InstalledPackage outlook(Package("outlook_components1_4.msi"));
        ASSERT_EQ(outlook.Result(), 0u);
        g_queries.clear();
        EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::X64);
        EXPECT_EQ(AskedCodes(), FirstComponents(1));
    }

    // Uninstalled again: nothing is left behind for the next test.
    g_queries.clear();
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
}

TEST_F(OutlookDetection, EveryStateButUnknownAndAbsentCountsAsInstalled)
{
    Use(StandInLocate);
    const INSTALLSTATE installed[] = {INSTALLSTATE_NOTUSED,    INSTALLSTATE_BADCONFIG,  INSTALLSTATE_INCOMPLETE,
                                      INSTALLSTATE_SOURCEABSENT, INSTALLSTATE_MOREDATA, INSTALLSTATE_INVALIDARG,
                                      INSTALLSTATE_BROKEN,     INSTALLSTATE_ADVERTISED, INSTALLSTATE_LOCAL,
                                      INSTALLSTATE_SOURCE,     INSTALLSTATE_DEFAULT};
    for (INSTALLSTATE state : installed) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        g_states = {state};
        EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::X64);
        g_states = {INSTALLSTATE_ABSENT, INSTALLSTATE_UNKNOWN, state};
        EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::X86);
    }
    g_states = {INSTALLSTATE_ABSENT, INSTALLSTATE_UNKNOWN, INSTALLSTATE_ABSENT,
                INSTALLSTATE_UNKNOWN, INSTALLSTATE_ABSENT, INSTALLSTATE_UNKNOWN};
    g_queries.clear();
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
    EXPECT_EQ(AskedCodes(), kComponentsInOrder);
}

TEST_F(OutlookDetection, EveryQueryGetsAClearedBufferOf259)
{
    // The stand-in overwrites buffer and size on every call.
    Use(StandInLocate);
    DetectOutlook(OutlookSearch::SixComponents);
    ASSERT_EQ(g_queries.size(), 6u);
    for (const Query& query : g_queries) {
        EXPECT_EQ(query.size, 259u);
        EXPECT_EQ(query.path, "");
    }
}

TEST_F(OutlookDetection, WithoutWindowsInstallerThereIsNoOutlook)
{
    Use(nullptr);
    EXPECT_EQ(DetectOutlook(OutlookSearch::SixComponents), OutlookArchitecture::None);
}

} // namespace
