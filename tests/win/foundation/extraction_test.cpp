// Writing an embedded resource out to a file, from this test program's own resources.
#include "foundation/resource_extraction.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

constexpr WORD kLargePayload = 500;  // "MSI"
constexpr WORD kSmallPayload = 501;  // "EXE"

std::string Expected(const char* unixPath) { return ReadFileBytes("Z:" + std::string(unixPath)); }

TEST(ExtractResourceToFile, WritesTheWholeResourceAndReplacesALargerFileCompletely)
{
    const std::string large = Expected(VS_LARGE_PAYLOAD);
    const std::string small = Expected(VS_SMALL_PAYLOAD);
    ASSERT_GT(large.size(), 100000u);
    ASSERT_LT(small.size(), 100u);

    TempDir folder;
    const std::string path = folder / "VsEnclosaSetup.msi";
    WriteFileBytes(path, std::string(3 * large.size(), 'z'));
    ExtractResourceToFile(path.c_str(), kLargePayload, "MSI");
    EXPECT_EQ(ReadFileBytes(path), large);
    ExtractResourceToFile(path.c_str(), kSmallPayload, "EXE");
    EXPECT_EQ(ReadFileBytes(path), small);
}

TEST(ExtractResourceToFile, AnIdentifierWithoutAResourceLeavesAnEmptyFile)
{
    TempDir folder;
    const std::string path = folder / "vc_redist64.exe";
    WriteFileBytes(path, "an earlier file");
    ExtractResourceToFile(path.c_str(), 999, "EXE");
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(path), "");
    // The identifier exists, but under another type.
    ExtractResourceToFile(path.c_str(), kLargePayload, "EXE");
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(path), "");
    // An empty file is not a missing payload's bytes: nothing may run it.
    EXPECT_EQ(HoldAndCheck(path.c_str(), 999, "EXE").check, PayloadCheck::Differs);
}

// A file at the name that cannot be deleted (another program holds it) is not written
// through: the extraction fails with the platform's reason and the file keeps its bytes.
TEST(ExtractResourceToFile, AFileThatCannotBeReplacedIsLeftAloneAndTheFailureSaid)
{
    TempDir folder;
    const std::string path = folder / "vc_redist64.exe";
    WriteFileBytes(path, "another program's");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_NE(ExtractResourceToFile(path.c_str(), kSmallPayload, "EXE"), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(path), "another program's");
}

TEST(ExtractResourceToFile, AFolderThatDoesNotExistLeavesNoFile)
{
    TempDir folder;
    const std::string missing = folder / "missing";
    EXPECT_NO_THROW(ExtractResourceToFile((missing + "\\VsEnclosaSetup.msi").c_str(), kLargePayload, "MSI"));
    EXPECT_FALSE(DirectoryExists(missing));
    EXPECT_FALSE(FileExists(missing + "\\VsEnclosaSetup.msi"));
}

TEST(HoldAndCheck, OnlyTheResourcesOwnBytesPassAndStayUnchangeableWhileHeld)
{
    const std::string large = Expected(VS_LARGE_PAYLOAD);
    TempDir folder;
    const std::string path = folder / "VsEnclosaSetup.msi";
    ExtractResourceToFile(path.c_str(), kLargePayload, "MSI");
    {
        const PayloadHold hold = HoldAndCheck(path.c_str(), kLargePayload, "MSI");
        EXPECT_EQ(hold.check, PayloadCheck::Intact);
        const UniqueKernelHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_FALSE(writer.IsValid()) << "nobody may write a held payload";
    }
    std::string changed = large;
    changed.back() ^= 1;
    WriteFileBytes(path, changed);
    EXPECT_EQ(HoldAndCheck(path.c_str(), kLargePayload, "MSI").check, PayloadCheck::Differs) << "the last byte";
    WriteFileBytes(path, large.substr(0, large.size() - 1));
    EXPECT_EQ(HoldAndCheck(path.c_str(), kLargePayload, "MSI").check, PayloadCheck::Differs) << "one byte short";
    EXPECT_EQ(HoldAndCheck((folder / "missing.msi").c_str(), kLargePayload, "MSI").check, PayloadCheck::NotHeld);
}

// The bytes of a held file, read through the hold.
std::string HeldBytes(const PayloadHold& hold)
{
    std::string bytes(GetFileSize(hold.file.Get(), nullptr), '\0');
    DWORD read = 0;
    SetFilePointer(hold.file.Get(), 0, nullptr, FILE_BEGIN);
    ReadFile(hold.file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes.substr(0, read);
}

// Another program that renames its own file over the payload whenever the payload is not yet
// its own (as another program of the same user could): between our write and our hold is the
// only moment it can, which it wins about twice in a hundred rounds. The rounds go on until one
// held its bytes, so that a race surely took place; a payload that passes is ours, one that does
// not is theirs.
TEST(HoldAndCheck, AProgramRacingToReplaceThePayloadNeverGetsItsBytesPassed)
{
    const std::string ours = Expected(VS_SMALL_PAYLOAD);
    const std::string foreign = "foreign bytes of another size";
    TempDir folder;
    const std::string path = folder / "vc_redist64.exe";
    const std::string copy = folder / "foreign.exe";
    std::atomic<bool> stop{false};
    std::thread racer([&] {
        while (!stop) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeLow == foreign.size())
                continue;
            if (!FileExists(copy))
                WriteFileBytes(copy, foreign);
            MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    });
    int rounds = 0, foreignHeld = 0;
    for (; rounds < 20000 && (rounds < 1000 || foreignHeld == 0); ++rounds) {
        ExtractResourceToFile(path.c_str(), kSmallPayload, "EXE");
        const PayloadHold hold = HoldAndCheck(path.c_str(), kSmallPayload, "EXE");
        if (hold.check == PayloadCheck::Intact) {
            ASSERT_EQ(HeldBytes(hold), ours) << "round " << rounds;
        } else if (hold.check == PayloadCheck::Differs) {
            const std::string held = HeldBytes(hold);
            ASSERT_NE(held, ours) << "round " << rounds;
            foreignHeld += held == foreign ? 1 : 0;
        }
    }
    stop = true;
    racer.join();
    EXPECT_GT(foreignHeld, 0) << "in " << rounds << " rounds no payload held the other program's bytes: no race";
}

} // namespace
