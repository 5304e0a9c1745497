// Small private files replaced as a whole, as the printer journal keeps them.
#include "files/file_replacement.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "files/temporary_name.h"
#include "tests/support/folder_test.h"

namespace tessaly {
namespace {

using test::ReadRaw;
using test::WriteRaw;
using Bytes = std::vector<unsigned char>;

Bytes BytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

using FileReplacement = test::FolderTest;

TEST_F(FileReplacement, NewFilesArePrivateAndExistingOnesKeepTheirMode) {
    const mode_t old = ::umask(022);
    const WriteResult made = ReplaceFileContents(PathOf("printers.journal"), "one\n");
    ::umask(old);
    ASSERT_TRUE(made.ok()) << made.reason;
    struct stat st {};
    ASSERT_EQ(::stat(PathOf("printers.journal").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    ::chmod(PathOf("printers.journal").c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContents(PathOf("printers.journal"), "two\n").ok());
    EXPECT_EQ(ReadRaw(PathOf("printers.journal")), BytesOf("two\n"));
    ASSERT_EQ(::stat(PathOf("printers.journal").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(FileReplacement, FailuresCarryTheErrnoAndTheReason) {
    const WriteResult result = ReplaceFileContents(PathOf("missing/printers.journal"), "x");
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_EQ(result.reason, "No such file or directory");
}

// Runs `body` on a thread of its own on which the kernel fails every fsync with
// EIO, as a disk that cannot keep the data would.
template <typename Body>
void WithFsyncFailing(Body body) {
    std::thread([&] {
        sock_filter rules[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog filter{static_cast<unsigned short>(std::size(rules)), rules};
        ASSERT_EQ(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0);
        ASSERT_EQ(::syscall(__NR_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter), 0);
        body();
    }).join();
}

// Contents that may not have reached the disk must not take the old file's name.
TEST_F(FileReplacement, AFailedFlushKeepsTheOldFile) {
    WriteRaw(PathOf("printers.journal"), BytesOf("old\n"));
    WriteResult result;
    WithFsyncFailing([&] { result = ReplaceFileContents(PathOf("printers.journal"), "new\n"); });
    EXPECT_EQ(result.error, EIO);
    EXPECT_EQ(ReadRaw(PathOf("printers.journal")), BytesOf("old\n"));
    EXPECT_EQ(Entries(), 1u);
}

// A temporary that nobody holds locked was left by a save that was killed; one
// that is locked belongs to a save still running and must stay. Files of the
// user's whose names merely look like temporaries are never touched.
TEST_F(FileReplacement, LeftoversOfKilledSavesGoAndRunningSavesTemporariesStay) {
    const std::string killed = TemporaryName();
    const std::string runnin = TemporaryName();
    WriteRaw(PathOf(killed), BytesOf("left by a kill"));
    WriteRaw(PathOf(runnin), BytesOf("being written"));
    const std::vector<std::string> users = {".tessaly-notours", ".tessaly-backup",
                                            ".tessaly-config", ".tessaly-2024ab",
                                            killed.substr(0, killed.size() - 1) + "x"};
    for (const std::string& name : users) {
        WriteRaw(PathOf(name), BytesOf("the user's own"));
    }
    const int running = ::open(PathOf(runnin).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    ASSERT_TRUE(ReplaceFileContents(PathOf("printers.journal"), "x").ok());
    EXPECT_FALSE(std::filesystem::exists(PathOf(killed)));
    EXPECT_TRUE(std::filesystem::exists(PathOf(runnin)));
    for (const std::string& name : users) {
        EXPECT_TRUE(std::filesystem::exists(PathOf(name))) << name;
    }
    ::close(running);
}

TEST_F(FileReplacement, SetIdAndStickyBitsAreKept) {
    for (const mode_t mode : {02664, 04755, 01644, 06750}) {
        const std::string path = PathOf("mode-" + std::to_string(mode));
        WriteRaw(path, BytesOf("old"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(ReplaceFileContents(path, "new").ok()) << std::oct << mode;
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
    }
}

}  // namespace
}  // namespace tessaly
