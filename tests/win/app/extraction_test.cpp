// Writing an embedded resource out to a file, from this test program's own resources.
#include "resource_extraction.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>

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
}

TEST(ExtractResourceToFile, AFolderThatDoesNotExistLeavesNoFile)
{
    TempDir folder;
    const std::string missing = folder / "missing";
    EXPECT_NO_THROW(ExtractResourceToFile((missing + "\\VsEnclosaSetup.msi").c_str(), kLargePayload, "MSI"));
    EXPECT_FALSE(DirectoryExists(missing));
    EXPECT_FALSE(FileExists(missing + "\\VsEnclosaSetup.msi"));
}

} // namespace
