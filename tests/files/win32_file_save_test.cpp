// The Windows save rule and whole-file replacement, on the file system wine or
// Windows gives the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/file_save.h"
#include "files/file_start.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

const Bytes kOld = {'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
const Bytes kNew = {1, 2, 3, 0, 0xFF};

class WindowsSave : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("tessaly-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    // Paths as UTF-8, the way the program passes them.
    std::string PathOf(const std::string& name) const {
        return reinterpret_cast<const char*>((m_folder / fs::u8path(name)).u8string().c_str());
    }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(m_folder / fs::u8path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    Bytes Read(const std::string& name) const {
        std::ifstream in(m_folder / fs::u8path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
    }

    fs::path m_folder;
};

TEST_F(WindowsSave, RefusesDevicesFoldersAndReadOnlyFilesWithTheReasonChangingNothing) {
    Write("kept.sts", kOld);
    SetFileAttributesW((m_folder / "kept.sts").c_str(), FILE_ATTRIBUTE_READONLY);
    fs::create_directory(m_folder / "folder.sts");
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {"CON", "It is a device, not a file"},
        {"nul.sts", "It is a device, not a file"},
        {PathOf("COM1"), "It is a device, not a file"},
        {PathOf("lpt3.txt"), "It is a device, not a file"},
        {"\\\\.\\COM5", "It is a device, not a file"},
        {PathOf("folder.sts"), "It is a folder, not a file"},
        {PathOf("kept.sts"), "It is a read-only file"},
        {PathOf("missing\\new.sts"), ""},
        {"", "The file name is empty"},
    };
    for (const auto& c : cases) {
        const WriteResult checked = CheckSaveTarget(c.path);
        const WriteResult saved = SaveFile(c.path, kNew);
        EXPECT_FALSE(saved.ok()) << c.path;
        EXPECT_EQ(saved.reason, checked.reason) << c.path;
        EXPECT_NE(saved.reason.find(c.reason), std::string::npos) << c.path << ": " << saved.reason;
        EXPECT_FALSE(saved.reason.empty()) << c.path;
    }
    EXPECT_EQ(Read("kept.sts"), kOld);
    EXPECT_EQ(Entries(), 2u) << "no temporary left behind";
}

TEST_F(WindowsSave, ReplacesAFileKeepingItsAttributesAndLeavesNoTemporary) {
    Write("kept.sts", kOld);
    const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    SetFileAttributesW((m_folder / "kept.sts").c_str(), attributes);
    ASSERT_TRUE(SaveFile(PathOf("kept.sts"), kNew).ok());
    EXPECT_EQ(Read("kept.sts"), kNew);
    EXPECT_EQ(GetFileAttributesW((m_folder / "kept.sts").c_str()) & attributes, attributes);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(WindowsSave, WritesAFileWithSeveralLinksInPlaceSoThatEveryNameShowsTheNewBytes) {
    Write("first.sts", kOld);
    if (!CreateHardLinkW((m_folder / "second.sts").c_str(), (m_folder / "first.sts").c_str(),
                         nullptr)) {
        GTEST_SKIP() << "no hard links on this file system: error " << GetLastError();
    }
    ASSERT_TRUE(SaveFile(PathOf("first.sts"), kNew).ok());
    EXPECT_EQ(Read("first.sts"), kNew);
    EXPECT_EQ(Read("second.sts"), kNew);
}

TEST_F(WindowsSave, SavesAndReadsBackANewFileWhoseNameIsNotAscii) {
    const std::string name =
        "B\xC3\xA4"
        "ckerei \xE2\x98\x95.sts";  // "Bäckerei ☕.sts"
    ASSERT_TRUE(SaveFile(PathOf(name), kNew).ok());
    EXPECT_EQ(Read(name), kNew);
    unsigned char buffer[16] = {};
    std::size_t got = 0;
    std::uintmax_t size = 0;
    EXPECT_EQ(ReadFileStart(PathOf(name), buffer, got, size), "");
    EXPECT_EQ(Bytes(buffer, buffer + got), kNew);
    EXPECT_EQ(size, kNew.size());
    EXPECT_NE(ReadFileStart(PathOf("absent.sts"), buffer, got, size), "");
}

}  // namespace
}  // namespace tessaly
