// Small private files replaced as a whole, as the printer journal keeps them.
#include "files/file_replacement.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

// A temporary that nobody holds locked was left by a save that was killed; one
// that is locked belongs to a save still running and must stay.
TEST_F(FileReplacement, LeftoversOfKilledSavesGoAndRunningSavesTemporariesStay) {
    WriteRaw(PathOf(".tessaly-k1ll3d"), BytesOf("left by a kill"));
    WriteRaw(PathOf(".tessaly-runnin"), BytesOf("being written"));
    WriteRaw(PathOf(".tessaly-notours"), BytesOf("another program's"));
    const int running = ::open(PathOf(".tessaly-runnin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    ASSERT_TRUE(ReplaceFileContents(PathOf("printers.journal"), "x").ok());
    EXPECT_FALSE(std::filesystem::exists(PathOf(".tessaly-k1ll3d")));
    EXPECT_TRUE(std::filesystem::exists(PathOf(".tessaly-runnin")));
    EXPECT_TRUE(std::filesystem::exists(PathOf(".tessaly-notours")));
    ::close(running);
}

}  // namespace
}  // namespace tessaly
