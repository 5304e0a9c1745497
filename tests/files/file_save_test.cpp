// What a save may write over, and how: the operator's other files, devices and
// pipes are never harmed, and a file written keeps its links, owner and rights.
#include "files/file_save.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/files/other_user.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/folder_test.h"
#include "tests/support/shell_command.h"

namespace tessaly {
namespace {

using Bytes = std::vector<unsigned char>;
using test::ReadRaw;
using test::WriteRaw;

const Bytes kNew(180, 0xA5);

struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

class FileSave : public test::FolderTest {
protected:
    // Searchable by everyone, so that a test can run its save as another user.
    void SetUp() override { ::chmod(m_dir.Path().c_str(), 0755); }
};

TEST_F(FileSave, WhatIsNotARegularFileIsRefusedWithItsReasonAndLeftAsItWas) {
    ASSERT_EQ(::mkfifo(PathOf("pipe.sts").c_str(), 0600), 0);
    std::filesystem::create_symlink("pipe.sts", PathOf("to-pipe.sts"));
    std::filesystem::create_symlink("missing.sts", PathOf("dangling.sts"));
    std::filesystem::create_directory(PathOf("folder.sts"));
    // What /dev/stdout is when the output goes into a pipe.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::filesystem::create_symlink("/proc/self/fd/" + std::to_string(ends[1]),
                                    PathOf("stdout.sts"));
    struct Case {
        const char* name;
        const char* reason;
    };
    std::vector<Case> cases{
        {"pipe.sts", "It is a named pipe, not a file"},
        {"to-pipe.sts", "It is a named pipe, not a file"},
        {"stdout.sts", "It is a named pipe, not a file"},
        {"dangling.sts", "It is a symbolic link to a file that does not exist"},
        {"folder.sts", "Is a directory"},
    };
    // The serial device a careless name could hit; only root may make one.
    if (::mknod(PathOf("ttyS1").c_str(), S_IFCHR | 0600, makedev(4, 65)) == 0) {
        cases.push_back({"ttyS1", "It is a device, not a file"});
    }

    const std::size_t before = Entries();
    for (const Case& c : cases) {
        const struct stat old = StatOf(PathOf(c.name));
        const WriteResult result = SaveFile(PathOf(c.name), kNew);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_EQ(result.reason, c.reason) << c.name;
        const struct stat now = StatOf(PathOf(c.name));
        EXPECT_EQ(now.st_ino, old.st_ino) << c.name;
        EXPECT_EQ(now.st_mode, old.st_mode) << c.name;
        EXPECT_EQ(CheckSaveTarget(PathOf(c.name)).reason, c.reason) << c.name;
    }
    EXPECT_EQ(Entries(), before) << "no file was made beside them";
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing.sts")));
    ::close(ends[0]);
    ::close(ends[1]);
}

TEST_F(FileSave, EmptyNamesAndMissingFoldersAreRefusedBeforeAnythingIsWritten) {
    EXPECT_EQ(CheckSaveTarget("").reason, "The file name is empty");
    EXPECT_EQ(CheckSaveTarget(PathOf("no-such-folder/x.sts")).reason, "No such file or directory");
    WriteRaw(PathOf("plain"), {1});
    EXPECT_EQ(CheckSaveTarget(PathOf("plain/x.sts")).reason, "Not a directory");
    EXPECT_TRUE(CheckSaveTarget(PathOf("new.sts")).ok());
    EXPECT_FALSE(std::filesystem::exists(PathOf("new.sts")));
}

// The refusal the system gives when it is asked to write the file: root may write a
// read-only file, so the save runs as another user.
TEST_F(FileSave, ReadOnlyFileIsRefusedEvenInAFolderThatCouldTakeAReplacement) {
    const std::string shared = PathOf("shared");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 0777);
    const std::string path = shared + "/kept.sts";
    const Bytes old(50, 0x11);
    WriteRaw(path, old);
    ::chmod(path.c_str(), 0444);
    const ino_t inode = StatOf(path).st_ino;

    EXPECT_EQ(test::RunAsOtherUser([&] { return SaveFile(path, kNew).error; }), EACCES);
    EXPECT_EQ(ReadRaw(path), old);
    EXPECT_EQ(StatOf(path).st_ino, inode);
    EXPECT_EQ(test::EntriesIn(shared), 1u);
}

TEST_F(FileSave, WritableFileInAFolderTheUserCannotWriteIsWrittenInPlace) {
    const std::string locked = PathOf("locked");
    std::filesystem::create_directory(locked);
    const std::string path = locked + "/till.sts";
    WriteRaw(path, Bytes(300, 0x11));
    ::chmod(path.c_str(), 0666);
    ::chmod(locked.c_str(), 0555);
    const ino_t inode = StatOf(path).st_ino;

    EXPECT_EQ(test::RunAsOtherUser([&] { return SaveFile(path, kNew).error; }), 0);
    EXPECT_EQ(ReadRaw(path), kNew);
    EXPECT_EQ(StatOf(path).st_ino, inode);
    ::chmod(locked.c_str(), 0755);
}

// What counts is the folder of the file the link leads to, not the link's own.
TEST_F(FileSave, LinkToAWritableFileInAFolderTheUserCannotWriteIsWrittenThroughInPlace) {
    const std::string locked = PathOf("locked");
    std::filesystem::create_directory(locked);
    const std::string target = locked + "/till.sts";
    WriteRaw(target, Bytes(300, 0x11));
    ::chmod(target.c_str(), 0666);
    ::chmod(locked.c_str(), 0555);
    const std::string link = PathOf("shared");
    std::filesystem::create_directory(link);
    ::chmod(link.c_str(), 0777);
    std::filesystem::create_symlink(target, link + "/till.sts");
    const ino_t inode = StatOf(target).st_ino;

    EXPECT_EQ(test::RunAsOtherUser([&] { return SaveFile(link + "/till.sts", kNew).error; }), 0);
    EXPECT_EQ(ReadRaw(target), kNew);
    EXPECT_EQ(StatOf(target).st_ino, inode);
    EXPECT_TRUE(std::filesystem::is_symlink(link + "/till.sts"));
    ::chmod(locked.c_str(), 0755);
}

TEST_F(FileSave, FileWithSeveralLinksIsWrittenInPlaceAndKeepsThem) {
    const std::string path = PathOf("a.sts");
    WriteRaw(path, Bytes(500, 0x11));
    ASSERT_EQ(::link(path.c_str(), PathOf("b.sts").c_str()), 0);

    const WriteResult result = SaveFile(path, kNew);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(ReadRaw(PathOf("b.sts")), kNew);
    EXPECT_EQ(StatOf(path).st_ino, StatOf(PathOf("b.sts")).st_ino);
    EXPECT_EQ(StatOf(path).st_nlink, 2u);
}

// The file size limit lets the first 100 bytes through and refuses the rest, so
// the in-place write fails after it has changed the file.
TEST_F(FileSave, InPlaceWriteThatFailsPutsTheOldBytesBack) {
    const std::string path = PathOf("a.sts");
    const Bytes old(50, 0x11);
    WriteRaw(path, old);
    ASSERT_EQ(::link(path.c_str(), PathOf("b.sts").c_str()), 0);

    WriteResult result;
    ASSERT_TRUE(test::UnderFileSizeLimit(100, [&] { result = SaveFile(path, kNew); }));

    EXPECT_EQ(result.error, EFBIG);
    EXPECT_EQ(result.reason, "File too large; the old contents were put back");
    EXPECT_EQ(ReadRaw(path), old);
    EXPECT_EQ(StatOf(path).st_nlink, 2u);
}

TEST_F(FileSave, ReplacedFileKeepsOwnerModeAclAndExtendedAttributes) {
    const std::string path = PathOf("shop.sts");
    WriteRaw(path, Bytes(180, 0x11));
    ::chmod(path.c_str(), 0640);
    const std::string quoted = "'" + path + "'";
    if (!Shell("setfacl -m u:" + std::to_string(test::kNobody) + ":rw " + quoted) ||
        !Shell("setfattr -n user.origin -v till-3 " + quoted)) {
        GTEST_SKIP() << "setfacl/setfattr missing, or no ACLs and user attributes here";
    }
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), test::kNobody, test::kNobody), 0);
    }
    const struct stat before = StatOf(path);
    const std::string acl = Output("getfacl -c " + quoted);
    ASSERT_FALSE(acl.empty());

    const WriteResult result = SaveFile(path, kNew);
    ASSERT_TRUE(result.ok()) << result.reason;
    const struct stat after = StatOf(path);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not written in place";
    EXPECT_EQ(ReadRaw(path), kNew);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(Output("getfacl -c " + quoted), acl);
    char value[16] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.origin", value, sizeof value - 1), 6);
    EXPECT_STREQ(value, "till-3");
}

// Another user may write root's 0666 file but could not make a replacement root's
// again: the file is written where it stands and stays root's.
TEST_F(FileSave, FileWhoseOwnerCannotBeKeptIsWrittenInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs a file owned by someone other than the saving user";
    }
    const std::string shared = PathOf("shared");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 0777);
    const std::string path = shared + "/root.sts";
    WriteRaw(path, Bytes(180, 0x11));
    ::chmod(path.c_str(), 0666);

    EXPECT_EQ(test::RunAsOtherUser([&] { return SaveFile(path, kNew).error; }), 0);
    EXPECT_EQ(ReadRaw(path), kNew);
    EXPECT_EQ(StatOf(path).st_uid, 0u);
}

TEST_F(FileSave, NamesOfUpTo255CharactersSave) {
    for (std::size_t length = 246; length <= 255; ++length) {
        const std::string path = PathOf(std::string(length - 4, 'n') + ".sts");
        WriteRaw(path, Bytes(10, 0x11));  // replaced when it exists ...
        if (length % 2 == 0) {
            std::filesystem::remove(path);  // ... and made when it does not
        }
        const WriteResult result = SaveFile(path, kNew);
        EXPECT_TRUE(result.ok()) << length << ": " << result.reason;
        EXPECT_EQ(ReadRaw(path), kNew) << length;
    }
    EXPECT_EQ(Entries(), 10u);
}

// Saves killed at arbitrary moments: the file always holds the old bytes or the
// new ones, and once the next save has run no temporary is left in the folder.
TEST_F(FileSave, SavesKilledPartWayLeaveNoTemporaryBehind) {
    const std::string path = PathOf("killed.sts");
    const Bytes old(180, 0x11);
    WriteRaw(path, old);
    const std::string users[] = {".tessaly-backup", ".tessaly-config", ".tessaly-2024ab"};
    for (const std::string& name : users) {
        WriteRaw(PathOf(name), old);  // the user's own, named like old temporaries
    }
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                SaveFile(path, kNew);
                SaveFile(path, old);
            }
        }
        ::usleep(static_cast<useconds_t>(200 + (round * 331) % 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const Bytes now = ReadRaw(path);
        EXPECT_TRUE(now == old || now == kNew) << "round " << round;
    }
    ASSERT_TRUE(SaveFile(path, kNew).ok());
    EXPECT_EQ(Entries(), 1u + std::size(users));
}

TEST_F(FileSave, NewFileGetsTheUmasksPermissions) {
    const mode_t old = ::umask(027);
    const WriteResult result = SaveFile(PathOf("new.sts"), kNew);
    ::umask(old);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(StatOf(PathOf("new.sts")).st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace tessaly
