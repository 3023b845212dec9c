// The built setup executable run as a user runs it, in the prefix without Outlook unless a test
// installs a package that makes Windows Installer know one.
#include "tests/win/app/child_process.h"
#include "tests/win/app/shown_icon.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kNoOutlookText[] =
    "Microsoft Outlook not detected. This application requires Microsoft Outlook 2003, 2007 or 2010 for proper "
    "operation.\n\nInstall Microsoft Outlook and retry.";

std::string SetupPath() { return BuildTreePath(VS_SETUP_EXECUTABLE); }

bool Loaded(const std::vector<std::string>& modules, const std::string& name)
{
    return std::any_of(modules.begin(), modules.end(), [&](const std::string& path) {
        return path.size() >= name.size() + 1 && path.compare(path.size() - name.size() - 1, std::string::npos,
                                                               "\\" + name) == 0;
    });
}

std::string SystemFolderLower()
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    std::string text = folder;
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Answers the one box the run shows, after looking at what the process has loaded meanwhile.
struct AnsweredRun {
    std::vector<SeenBox> boxes;
    std::vector<std::string> modulesWhileShown;
    DWORD modulesError = ERROR_SUCCESS;  // why they could not be listed
    LPCSTR icon = nullptr;
    DWORD exitCode = ~0u;
};

// Why a check of the modules cannot be made: under the emulated 32-bit Wine (the i686 bed)
// Module32First fails with ERROR_NOACCESS for another process.
std::string ModulesUnlisted(const AnsweredRun& run)
{
    return "the modules of another process cannot be listed in this bed (error " + std::to_string(run.modulesError) +
           ")";
}

AnsweredRun RunAnsweringOneBox(const std::string& executable)
{
    AnsweredRun run;
    ChildProcess setup("\"" + executable + "\"");
    EXPECT_TRUE(setup.Started()) << executable;
    if (!setup.Started())
        return run;
    ModalWatcher watcher(0, setup.Id());
    EXPECT_TRUE(watcher.WaitForBoxes(1, 60000)) << "no box within 60 s";
    run.modulesWhileShown = setup.LoadedModules(run.modulesError);
    run.boxes = watcher.Boxes();
    if (!run.boxes.empty())
        run.icon = ShownStockIcon(run.boxes[0].window);
    if (!run.boxes.empty())
        PostMessageA(run.boxes[0].window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    run.exitCode = setup.WaitForExit(30000);
    // A second box would have been seen by now.
    run.boxes = watcher.Boxes();
    return run;
}

TEST(SetupExecutable, WithoutOutlookShowsTheNoOutlookBoxAndEndsWith1633)
{
    const AnsweredRun run = RunAnsweringOneBox(SetupPath());
    ASSERT_EQ(run.boxes.size(), 1u);
    const SeenBox& box = run.boxes[0];
    EXPECT_EQ(box.caption, "VsEnclosaSetupBoot");
    EXPECT_EQ(box.text, kNoOutlookText);
    EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(run.icon, IDI_EXCLAMATION);
    EXPECT_EQ(run.exitCode, DWORD(ERROR_INSTALL_PLATFORM_UNSUPPORTED));

    if (run.modulesError != ERROR_SUCCESS)
        GTEST_SKIP() << "msi.dll from the system folder and gdiplus.dll not loaded before the box: "
                     << ModulesUnlisted(run) << "; the box and the exit code were checked";
    EXPECT_TRUE(Loaded(run.modulesWhileShown, "msi.dll"));
    EXPECT_FALSE(Loaded(run.modulesWhileShown, "gdiplus.dll"));
}

TEST(SetupExecutable, AnotherLanguageEditionEndsWith1638)
{
    const std::string packages = BuildTreePath(VS_TEST_PACKAGE_DIR);
    InstalledPackage outlook(packages + "\\outlook_components1_4.msi");
    ASSERT_EQ(outlook.Result(), 0u);
    InstalledPackage german(packages + "\\german_edition_x64.msi");
    ASSERT_EQ(german.Result(), 0u);

    const AnsweredRun run = RunAnsweringOneBox(SetupPath());
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text,
              "You have already installed the german version of this product. Please use the same language version "
              "of the installer to update the product.");
    EXPECT_EQ(run.exitCode, DWORD(ERROR_PRODUCT_VERSION));
}

// The DLLs the setup loads beyond its static imports, as a downloads folder could hold them.
const char* const kPlantedDlls[] = {"msi.dll", "gdiplus.dll", "comctl32.dll"};

// Wine prefers its own copy of most system DLLs to one it finds; for these programs it is told
// to take the DLL it finds first, as Windows does.
class PreferFoundDlls {
public:
    explicit PreferFoundDlls(const std::string& program)
        : m_key("Software\\Wine\\AppDefaults\\" + program)
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (m_key + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr);
        const UniqueRegKey owner(key);
        for (const char* dll : kPlantedDlls) {
            const std::string name(dll, std::strlen(dll) - 4);
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        }
    }
    ~PreferFoundDlls() { RegDeleteTreeA(HKEY_CURRENT_USER, m_key.c_str()); }
    PreferFoundDlls(const PreferFoundDlls&) = delete;
    PreferFoundDlls& operator=(const PreferFoundDlls&) = delete;

private:
    std::string m_key;
};

class PlantedDlls : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string planted = BuildTreePath(VS_PLANTED_DLL);
        for (const char* dll : kPlantedDlls)
            ASSERT_TRUE(CopyFileA(planted.c_str(), (m_folder / dll).c_str(), FALSE)) << dll;
    }

    std::vector<std::string> LoadedPlants() const
    {
        std::vector<std::string> loaded;
        for (const char* dll : kPlantedDlls)
            if (FileExists(m_folder / (std::string(dll) + ".loaded")))
                loaded.push_back(dll);
        return loaded;
    }

    TempDir m_folder;
};

TEST_F(PlantedDlls, BesideTheSetupAreNeverLoaded)
{
    // Named as a browser names a second download of the same file.
    const std::string setup = m_folder / "VsEnclosaSetupBoot (1).exe";
    ASSERT_TRUE(CopyFileA(SetupPath().c_str(), setup.c_str(), FALSE));
    const PreferFoundDlls preferFound("VsEnclosaSetupBoot (1).exe");

    const AnsweredRun run = RunAnsweringOneBox(setup);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, kNoOutlookText);
    EXPECT_EQ(run.exitCode, DWORD(ERROR_INSTALL_PLATFORM_UNSUPPORTED));
    EXPECT_EQ(LoadedPlants(), std::vector<std::string>{});
    if (run.modulesError != ERROR_SUCCESS)
        GTEST_SKIP() << "msi.dll from the system folder: " << ModulesUnlisted(run)
                     << "; the plants were seen not loaded by the notes they leave";
    const std::string systemMsi = SystemFolderLower() + "\\msi.dll";
    EXPECT_NE(std::find(run.modulesWhileShown.begin(), run.modulesWhileShown.end(), systemMsi),
              run.modulesWhileShown.end());
}

TEST_F(PlantedDlls, GdiplusAndCommonControlsAreDelayLoadedFromTheSystemFolderOnly)
{
    // The probe has no entry point of its own to narrow the search: the delay-load hook alone
    // keeps the plants out.
    const std::string probe = m_folder / "delay_load_probe.exe";
    ASSERT_TRUE(CopyFileA(BuildTreePath(VS_DELAY_LOAD_PROBE).c_str(), probe.c_str(), FALSE));
    const PreferFoundDlls preferFound("delay_load_probe.exe");
    ChildProcess run("\"" + probe + "\"");
    EXPECT_EQ(run.WaitForExit(60000), 0u);
    EXPECT_EQ(LoadedPlants(), std::vector<std::string>{});
}

TEST_F(PlantedDlls, AreLoadedByAProgramThatSearchesItsOwnFolder)
{
    // The plants work: without the setup's precautions they would be loaded.
    const std::string loader = m_folder / "naive_loader.exe";
    ASSERT_TRUE(CopyFileA(BuildTreePath(VS_NAIVE_LOADER).c_str(), loader.c_str(), FALSE));
    const PreferFoundDlls preferFound("naive_loader.exe");
    std::string commandLine = "\"" + loader + "\"";
    for (const char* dll : kPlantedDlls)
        commandLine += std::string(" ") + dll;
    ChildProcess naive(commandLine);
    ASSERT_EQ(naive.WaitForExit(60000), 0u);
    EXPECT_EQ(LoadedPlants(), std::vector<std::string>(std::begin(kPlantedDlls), std::end(kPlantedDlls)));
}

} // namespace
