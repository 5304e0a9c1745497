// Saves that fail half-way must leave the operator's old file exactly as it was.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "switches/status_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/folder_test.h"

namespace tessaly {
namespace {

using test::ReadRaw;
using test::WriteRaw;

SwitchGrid AllOnes() {
    SwitchGrid grid;
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        grid.StoreBits(group, {1, 1, 1, 1, 1, 1, 1, 1});
    }
    return grid;
}

class FailingSave : public test::FolderTest {
protected:
    void ExpectOldFileKept(const std::string& path, const std::vector<Byte>& old,
                           const FileResult& result, const char* reason) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Could not save \"" + path + "\": " + reason);
        EXPECT_EQ(ReadRaw(path), old);
    }
};

// The file size limit cuts the temporary file after 100 of its 180 bytes: the
// first write comes back short and the next one fails.
TEST_F(FailingSave, ACutWriteLeavesTheOldFileAndNoTemporary) {
    const std::string path = PathOf("old.sts");
    const std::vector<Byte> old(300, 0x5A);
    WriteRaw(path, old);

    FileResult result;
    ASSERT_TRUE(test::UnderFileSizeLimit(100, [&] { result = StatusFile::Save(path, AllOnes()); }));

    ExpectOldFileKept(path, old, result, "File too large");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FailingSave, AFullFileSystemLeavesTheOldFileAndNoTemporary) {
    const std::string mountPoint = PathOf("small");
    std::filesystem::create_directory(mountPoint);
    if (::mount("tessaly-test", mountPoint.c_str(), "tmpfs", 0, "size=8k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
    }
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mountPoint};

    const std::string path = mountPoint + "/old.sts";
    const std::vector<Byte> old(180, 0x33);
    WriteRaw(path, old);
    {
        // Take every block that is left.
        std::ofstream filler(mountPoint + "/filler", std::ios::binary);
        const std::vector<char> block(4096, 0);
        for (int i = 0; i < 16 && filler.write(block.data(), block.size()); ++i) {
        }
    }

    ExpectOldFileKept(path, old, StatusFile::Save(path, AllOnes()), "No space left on device");
    EXPECT_EQ(test::EntriesIn(mountPoint), 2u);
}

TEST_F(FailingSave, ARenameThatFailsRemovesTheTemporary) {
    const std::string path = PathOf("taken.sts");
    std::filesystem::create_directory(path);
    const FileResult result = StatusFile::Save(path, AllOnes());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "Could not save \"" + path + "\": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(Entries(), 1u);
}

}  // namespace
}  // namespace tessaly
