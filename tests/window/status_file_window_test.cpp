// "Save Status" and "Load Status" in a real editor window, with real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/switch_editor_dlg.h"
#include "tests/support/named_pipe.h"
#include "tests/support/temp_dir.h"
#include "tests/window/window_fixture.h"

namespace tessaly::testing {
namespace {

const RecordedMessage kReadDone{"Success to get status of ORX.", MessageIcon::Information};
const RecordedMessage kWrongName{"Wrong format files loaded.", MessageIcon::Exclamation};

using test::ReadRaw;
using test::WriteRaw;

class StatusFileWindowTest : public EditingWindowTest<CSwitchEditorDlg> {
protected:
    void SetUp() override {
        EditingWindowTest::SetUp();
        ShowForTest(window);
    }

    void Read() {
        ASSERT_TRUE(Click(window, IDC_GET_STATUS));
        ASSERT_EQ(TakeMessages(), std::vector{kReadDone});
    }
    void Save(CSwitchEditorDlg& editor, const std::filesystem::path& path) {
        services.QueueSaveAnswer(path);
        ASSERT_TRUE(Click(editor, IDC_SAVE_STATUS));
    }
    void Load(CSwitchEditorDlg& editor, const std::filesystem::path& path) {
        services.QueueOpenAnswer(path);
        ASSERT_TRUE(Click(editor, IDC_LOAD_STATUS));
    }

    static std::array<int, 5> ListsShow(CSwitchEditorDlg& editor) {
        return {editor.GetListIndex(IDC_CODE_TABLE), editor.GetListIndex(IDC_INTL_SET),
                editor.GetListIndex(IDC_BRIGHTNESS), editor.GetListIndex(IDC_PERIPHERAL),
                editor.GetListIndex(IDC_CURSOR_MODE)};
    }
    static bool Editable(CSwitchEditorDlg& editor) {
        return editor.IsControlEnabled(IDC_SET_STATUS) &&
               editor.IsControlEnabled(IDC_SAVE_STATUS) &&
               editor.IsControlEnabled(IDC_CODE_TABLE) && editor.IsControlEnabled(IDC_CURSOR_MODE);
    }

    test::TempDir scratch;
    const std::filesystem::path folder{scratch.Path()};
};

TEST_F(StatusFileWindowTest, SavedStatusLoadsIntoAFreshEditorAsTheSameGridAndLists) {
    display.SetSwitchDigits(10, D("00011101"));
    display.SetSwitchDigits(11, D("00000011"));
    display.SetSwitchDigits(12, D("00000010"));
    display.SetSwitchDigits(13, D("00000010"));
    display.SetSwitchDigits(14, D("00000001"));
    Read();
    const std::filesystem::path path = folder / "shop.sts";
    Save(window, path);
    ASSERT_EQ(services.saveRequests.size(), 1u);
    const FileDialogRequest& asked = services.saveRequests[0];
    EXPECT_EQ(asked.title, "Save current status");
    EXPECT_EQ(asked.initialName, "Noname.sts");
    EXPECT_EQ(asked.filterText, "Status Files (*.sts)");
    EXPECT_EQ(asked.pattern, "*.sts");
    EXPECT_EQ(std::filesystem::file_size(path), 180u);

    CSwitchEditorDlg fresh(services);
    ShowForTest(fresh);
    Load(fresh, path);
    ASSERT_EQ(services.openRequests.size(), 1u);
    EXPECT_EQ(services.openRequests[0].title, "Load saved status");
    EXPECT_EQ(services.openRequests[0].initialName, "*.sts");
    EXPECT_EQ(services.openRequests[0].filterText, "Status Files (*.sts)");
    EXPECT_EQ(services.openRequests[0].pattern, "*.sts");

    EXPECT_EQ(fresh.Grid(), window.Grid());
    EXPECT_EQ(ListsShow(fresh), ListsShow(window));
    EXPECT_TRUE(Editable(fresh));
    EXPECT_TRUE(services.messages.empty()) << "saving and loading say nothing";
    EXPECT_TRUE(display.Received().size() == 3u + 5u * 7u) << "loading sends nothing";
}

TEST_F(StatusFileWindowTest, ElementZeroComesFromTheFileAndSurvivesAReadAndASave) {
    Bytes bytes(180, 0);
    bytes[72] = 7;  // element 0 of switch 12
    WriteRaw(folder / "seven.sts", bytes);
    Load(window, folder / "seven.sts");
    EXPECT_EQ(window.Grid().At(2, 0), 7);
    Read();
    EXPECT_EQ(window.Grid().At(2, 0), 7) << "a read replaces bits 1 to 8 only";
    Save(window, folder / "again.sts");
    const Bytes saved = ReadRaw(folder / "again.sts");
    ASSERT_EQ(saved.size(), 180u);
    EXPECT_EQ(Bytes(saved.begin() + 72, saved.begin() + 76), (Bytes{7, 0, 0, 0}));
}

// Files of any length load: missing bytes are 0, bytes past the 180th are ignored.
struct FileLength {
    std::size_t bytes;
    int wholeIntegers;     // integers made of four 0x01 bytes
    std::int32_t partial;  // the integer after them, from the bytes that are there
};

void PrintTo(const FileLength& length, std::ostream* os) {
    *os << length.bytes << " bytes";
}

class StatusFileLengthTest : public StatusFileWindowTest,
                             public ::testing::WithParamInterface<FileLength> {};

TEST_P(StatusFileLengthTest, LoadsWhatTheFileHasAndZerosTheRest) {
    const FileLength length = GetParam();
    const std::filesystem::path path = folder / "odd.sts";
    WriteRaw(path, Bytes(length.bytes, 0x01));
    Load(window, path);
    EXPECT_TRUE(services.messages.empty());
    for (int i = 0; i < 45; ++i) {
        const std::int32_t expected = i < length.wholeIntegers    ? 0x01010101
                                      : i == length.wholeIntegers ? length.partial
                                                                  : 0;
        EXPECT_EQ(window.Grid().At(i / 9, i % 9), expected) << "integer " << i;
    }
    EXPECT_TRUE(Editable(window));
}

INSTANTIATE_TEST_SUITE_P(Lengths, StatusFileLengthTest,
                         ::testing::Values(FileLength{0, 0, 0}, FileLength{98, 24, 0x0101},
                                           FileLength{100, 25, 0}, FileLength{181, 45, 0}),
                         [](const auto& info) {
                             return std::to_string(info.param.bytes) + "Bytes";
                         });

TEST_F(StatusFileWindowTest, NamesThatDoNotEndInLowerCaseStsAreRefused) {
    for (const char* name : {"status.STS", "ab"}) {
        WriteRaw(folder / name, Bytes(180, 0x01));
        Load(window, folder / name);
        EXPECT_EQ(TakeMessages(), std::vector{kWrongName}) << name;
    }
    EXPECT_EQ(window.Grid(), SwitchGrid{});
    EXPECT_FALSE(Editable(window)) << "the window stays fresh";

    WriteRaw(folder / "mysts", Bytes(180, 0x01));
    Load(window, folder / "mysts");
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(window.Grid().At(0, 1), 0x01010101);
    EXPECT_TRUE(Editable(window));
}

TEST_F(StatusFileWindowTest, SavingOverALongerFileLeavesExactly180Bytes) {
    const std::filesystem::path path = folder / "long.sts";
    WriteRaw(path, Bytes(500, 0xEE));
    Read();
    Save(window, path);
    EXPECT_EQ(ReadRaw(path), Bytes(180, 0));
    EXPECT_TRUE(services.messages.empty());
}

// How a save fails, and that the old file survives it, is the status file's own test.
TEST_F(StatusFileWindowTest, AFileThatCannotBeSavedOrReadChangesNothingAndSaysSoOnce) {
    Read();
    const SwitchGrid grid = window.Grid();
    WriteRaw(folder / "plain", {1});
    const std::filesystem::path unsaved = folder / "plain/x.sts";
    const std::filesystem::path unread = folder / "folder.sts";
    std::filesystem::create_directory(unread);
    Save(window, unsaved);
    Load(window, unread);
    const std::vector<RecordedMessage> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(shown[i].icon, MessageIcon::Exclamation);
        EXPECT_NE(shown[i].sentence.find((i == 0 ? unsaved : unread).string()), std::string::npos)
            << shown[i].sentence;
    }
    EXPECT_EQ(window.Grid(), grid);
    EXPECT_TRUE(Editable(window));
}

// A pipe picked in the dialog is left as it is, and its name, shown in the message,
// cannot inject anything into it.
TEST_F(StatusFileWindowTest, SavingOverAPipeIsRefusedWithTheNameShownEscaped) {
    if (!test::NamedPipesInFolders()) {
        GTEST_SKIP() << "named pipes live in no folder here";
    }
    Read();
    const std::filesystem::path pipe = folder / "till\x1B[31m\n.sts";
    ASSERT_TRUE(test::MakeNamedPipe(pipe));
    Save(window, pipe);
    const std::vector<RecordedMessage> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(shown[0].sentence, "Could not save \"" + folder.string() +
                                     "/till\\x1B[31m\\n.sts\": It is a named pipe, not a file");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(Editable(window));
}

TEST_F(StatusFileWindowTest, CancelledDialogsChangeNothing) {
    Read();
    const SwitchGrid grid = window.Grid();
    ASSERT_TRUE(Click(window, IDC_SAVE_STATUS));  // no answer queued: cancelled
    ASSERT_TRUE(Click(window, IDC_LOAD_STATUS));
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(window.Grid(), grid);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace tessaly::testing
