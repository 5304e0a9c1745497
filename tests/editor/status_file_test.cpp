#include "editor/status_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "status_file_fixture.h"

namespace tessaly {
namespace {

SwitchGrid Sample() {
    SwitchGrid grid;
    std::int32_t value = -3;
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            grid.Set(group, element, value);
            value = value * -7 + 1;  // mixes signs and reaches beyond 16 bits
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

TEST(StatusFileLayout, ShortInputReadsMissingBytesAsZero) {
    const StatusFile::Bytes full = StatusFile::Encode(Sample());
    const SwitchGrid whole = Sample();

    EXPECT_EQ(StatusFile::Decode({}), SwitchGrid{});

    const SwitchGrid hundred = StatusFile::Decode(std::span(full).first(100));
    for (int i = 0; i < 45; ++i) {
        const int group = i / 9, element = i % 9;
        EXPECT_EQ(hundred.At(group, element), i < 25 ? whole.At(group, element) : 0) << i;
    }

    std::vector<Byte> ninetyEight(98, 0);
    ninetyEight[96] = 0xFE;
    ninetyEight[97] = 0xFF;  // integer 24 keeps its low half: 0x0000FFFE
    EXPECT_EQ(StatusFile::Decode(ninetyEight).At(2, 6), 0xFFFE);
}

TEST(StatusFileLayout, LongInputUsesOnlyTheFirst180Bytes) {
    std::vector<Byte> bytes(181, 0xAA);
    const SwitchGrid grid = StatusFile::Decode(bytes);
    EXPECT_EQ(grid.At(4, 8), static_cast<std::int32_t>(0xAAAAAAAA));
    EXPECT_EQ(grid, StatusFile::Decode(std::span(bytes).first(180)));
}

TEST(StatusFileName, OnlyNamesEndingInLowerCaseStsAreTaken) {
    EXPECT_TRUE(StatusFile::HasStatusFileName("/home/op/Noname.sts"));
    EXPECT_TRUE(StatusFile::HasStatusFileName("mysts"));
    EXPECT_TRUE(StatusFile::HasStatusFileName("sts"));
    EXPECT_TRUE(StatusFile::HasStatusFileName("a/b.sts"));
    EXPECT_FALSE(StatusFile::HasStatusFileName("status.STS"));
    EXPECT_FALSE(StatusFile::HasStatusFileName("ab"));
    EXPECT_FALSE(StatusFile::HasStatusFileName("backup"));
    // The folder does not count: the name after the last slash is empty.
    EXPECT_FALSE(StatusFile::HasStatusFileName("x.sts/"));
    EXPECT_FALSE(StatusFile::HasStatusFileName("/sts/ts"));
    EXPECT_FALSE(StatusFile::HasStatusFileName(""));
}

using StatusFileOnDisk = StatusFolder;

TEST_F(StatusFileOnDisk, SaveAndLoadGiveBackTheSameGrid) {
    const std::string path = PathOf("roundtrip.sts");
    ASSERT_TRUE(StatusFile::Save(path, Sample()).ok);
    EXPECT_EQ(ReadRaw(path).size(), StatusFile::kSize);
    const LoadedStatus loaded = StatusFile::Load(path);
    ASSERT_TRUE(loaded.result.ok) << loaded.result.error;
    EXPECT_EQ(loaded.grid, Sample());
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(StatusFileOnDisk, ElementZeroFromAFileIsSavedBackUnchanged) {
    std::vector<Byte> bytes(180, 0);
    bytes[72] = 7;
    WriteRaw(PathOf("in.sts"), bytes);
    const LoadedStatus loaded = StatusFile::Load(PathOf("in.sts"));
    ASSERT_TRUE(loaded.result.ok);
    EXPECT_EQ(loaded.grid.At(2, 0), 7);
    ASSERT_TRUE(StatusFile::Save(PathOf("out.sts"), loaded.grid).ok);
    EXPECT_EQ(ReadRaw(PathOf("out.sts")), bytes);
}

TEST_F(StatusFileOnDisk, FilesOfAnyLengthLoad) {
    const StatusFile::Bytes full = StatusFile::Encode(Sample());
    for (std::size_t size : {0u, 98u, 100u, 180u}) {
        WriteRaw(PathOf("part.sts"), std::vector<Byte>(full.begin(), full.begin() + size));
        const LoadedStatus loaded = StatusFile::Load(PathOf("part.sts"));
        ASSERT_TRUE(loaded.result.ok) << size;
        EXPECT_EQ(loaded.grid, StatusFile::Decode(std::span(full).first(size))) << size;
    }
    std::vector<Byte> longer(full.begin(), full.end());
    longer.push_back(0x55);
    WriteRaw(PathOf("long.sts"), longer);
    EXPECT_EQ(StatusFile::Load(PathOf("long.sts")).grid, Sample());
}

TEST_F(StatusFileOnDisk, SavingOverALongerFileLeavesExactly180Bytes) {
    const std::string path = PathOf("over.sts");
    WriteRaw(path, std::vector<Byte>(4096, 0xEE));
    ASSERT_TRUE(StatusFile::Save(path, Sample()).ok);
    const std::vector<Byte> written = ReadRaw(path);
    const StatusFile::Bytes expected = StatusFile::Encode(Sample());
    EXPECT_EQ(written, std::vector<Byte>(expected.begin(), expected.end()));
}

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

}  // namespace
}  // namespace tessaly
