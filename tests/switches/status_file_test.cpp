#include "switches/status_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "tests/support/folder_test.h"

namespace tessaly {
namespace {

using test::WriteRaw;

SwitchGrid Sample() {
    SwitchGrid grid;
    // Unsigned, so that the sequence wraps instead of overflowing; every element
    // still differs, signs are mixed and most values need more than 16 bits.
    std::uint32_t value = static_cast<std::uint32_t>(-3);
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            grid.Set(group, element, static_cast<std::int32_t>(value));
            value = value * static_cast<std::uint32_t>(-7) + 1;
        }
    }
    return grid;
}

TEST(StatusFileLayout, EncodesLittleEndianGroupByGroupWithElementZeroFirst) {
    SwitchGrid grid;
    grid.Set(0, 1, 1);
    StatusFile::Bytes expected{};
    expected[4] = 0x01;
    EXPECT_EQ(StatusFile::Encode(grid), expected);

    grid.Set(0, 1, 0);
    grid.Set(2, 0, 7);
    grid.Set(4, 8, -48);
    grid.Set(1, 3, 0x12345678);
    expected = {};
    expected[72] = 0x07;
    expected[176] = 0xD0, expected[177] = 0xFF, expected[178] = 0xFF, expected[179] = 0xFF;
    expected[48] = 0x78, expected[49] = 0x56, expected[50] = 0x34, expected[51] = 0x12;
    EXPECT_EQ(StatusFile::Encode(grid), expected);
}

TEST(StatusFileLayout, DecodeGivesBackWhatEncodeWrote) {
    const SwitchGrid grid = Sample();
    const StatusFile::Bytes bytes = StatusFile::Encode(grid);
    EXPECT_EQ(StatusFile::Decode(bytes), grid);
}

TEST(StatusFileName, OnlyNamesEndingInLowerCaseStsAreTaken) {
    for (const char* name : {"/home/op/Noname.sts", "mysts", "sts", "a/b.sts"}) {
        EXPECT_TRUE(StatusFile::HasStatusFileName(name)) << name;
    }
    // The folder does not count: the name after the last slash is what ends in "sts".
    for (const char* name : {"status.STS", "ab", "backup", "x.sts/", "/sts/ts", ""}) {
        EXPECT_FALSE(StatusFile::HasStatusFileName(name)) << name;
    }
}

using StatusFileOnDisk = test::FolderTest;

TEST_F(StatusFileOnDisk, SavingKeepsAnExistingFilesPermissionsAndFollowsLinks) {
    const std::string path = PathOf("kept.sts");
    WriteRaw(path, {1, 2, 3});
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::filesystem::create_symlink("kept.sts", PathOf("link.sts"));
    ASSERT_TRUE(StatusFile::Save(PathOf("link.sts"), Sample()).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("link.sts")));
    EXPECT_EQ(StatusFile::Load(path).grid, Sample());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(StatusFileOnDisk, NewFilesGetTheUmasksPermissions) {
    const mode_t old = ::umask(022);
    const bool saved = StatusFile::Save(PathOf("new.sts"), SwitchGrid{}).ok;
    ::umask(old);
    ASSERT_TRUE(saved);
    struct stat st {};
    ASSERT_EQ(::stat(PathOf("new.sts").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(StatusFileOnDisk, FailuresNameTheFileAndTheReason) {
    const LoadedStatus missing = StatusFile::Load(PathOf("missing.sts"));
    EXPECT_FALSE(missing.result.ok);
    EXPECT_EQ(missing.result.error,
              "Could not load \"" + PathOf("missing.sts") + "\": No such file or directory");

    std::filesystem::create_directory(PathOf("folder.sts"));
    const LoadedStatus folder = StatusFile::Load(PathOf("folder.sts"));
    EXPECT_FALSE(folder.result.ok);
    EXPECT_NE(folder.result.error.find("Is a directory"), std::string::npos);

    ASSERT_EQ(::mkfifo(PathOf("pipe.sts").c_str(), 0600), 0);
    EXPECT_FALSE(StatusFile::Load(PathOf("pipe.sts")).result.ok);  // and does not block

    WriteRaw(PathOf("plain"), {1});
    const std::string underFile = PathOf("plain") + "/x.sts";
    const FileResult saved = StatusFile::Save(underFile, SwitchGrid{});
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, "Could not save \"" + underFile + "\": Not a directory");
}

// A name is shown as text: a newline cannot split the message and an escape
// sequence cannot reach the terminal or the message box.
TEST_F(StatusFileOnDisk, FailuresShowTheNameWithItsControlCharactersEscaped) {
    const std::string folder = PathOf("gone\x1B[2J");
    const FileResult saved = StatusFile::Save(folder + "/a\nb.sts", SwitchGrid{});
    EXPECT_EQ(saved.error, "Could not save \"" + PathOf("gone\\x1B[2J") +
                               "/a\\nb.sts\": No such file or directory");
    const LoadedStatus loaded = StatusFile::Load(PathOf("\t.sts"));
    EXPECT_EQ(loaded.result.error,
              "Could not load \"" + PathOf("\\t.sts") + "\": No such file or directory");
}

TEST_F(StatusFileOnDisk, SavingOverAPipeIsRefusedAndLeavesThePipe) {
    ASSERT_EQ(::mkfifo(PathOf("pipe.sts").c_str(), 0600), 0);
    const FileResult saved = StatusFile::Save(PathOf("pipe.sts"), Sample());
    EXPECT_EQ(saved.error,
              "Could not save \"" + PathOf("pipe.sts") + "\": It is a named pipe, not a file");
    EXPECT_TRUE(std::filesystem::is_fifo(PathOf("pipe.sts")));
    EXPECT_EQ(StatusFile::CheckSaveTarget(PathOf("pipe.sts")).error, saved.error);
}

TEST_F(StatusFileOnDisk, LoadingTellsTheFilesWholeLength) {
    WriteRaw(PathOf("short.sts"), std::vector<Byte>(98, 1));
    WriteRaw(PathOf("long.sts"), std::vector<Byte>(500, 1));
    EXPECT_EQ(StatusFile::Load(PathOf("short.sts")).fileSize, 98u);
    EXPECT_EQ(StatusFile::Load(PathOf("long.sts")).fileSize, 500u);
}

}  // namespace
}  // namespace tessaly
