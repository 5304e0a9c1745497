// "Save Status" and "Load Status": the grid in a 180-byte file. A file that cannot
// be written or read is reported once, with the file's name and the reason, and
// leaves the window as it was.
#include "editor/switch_editor_dlg.h"

#include "switches/status_file.h"
#include "transactions/outcome_text.h"

namespace tessaly {

namespace {

constexpr const char* kFilterText = "Status Files (*.sts)";
constexpr const char* kPattern = "*.sts";

}  // namespace

void CSwitchEditorDlg::OnSaveStatus() {
    // No default extension: a name typed without ".sts" is saved as typed.
    const auto path =
        Services().AskSavePath(this, {"Save current status", "Noname.sts", kFilterText, kPattern});
    if (!path) {
        return;
    }
    if (const FileResult saved = StatusFile::Save(path->string(), m_grid); !saved.ok) {
        Services().ShowMessage(this, saved.error, MessageIcon::Exclamation);
    }
}

void CSwitchEditorDlg::OnLoadStatus() {
    const auto path =
        Services().AskOpenPath(this, {"Load saved status", "*.sts", kFilterText, kPattern});
    if (!path) {
        return;
    }
    if (!StatusFile::HasStatusFileName(path->string())) {
        Services().ShowMessage(this, kWrongFormatFileText, MessageIcon::Exclamation);
        return;
    }
    const LoadedStatus loaded = StatusFile::Load(path->string());
    if (!loaded.result.ok) {
        Services().ShowMessage(this, loaded.result.error, MessageIcon::Exclamation);
        return;
    }
    // The whole grid, element 0 of each switch included, comes from the file.
    m_grid = loaded.grid;
    ShowGrid("file");
    EnableControls(1);
}

}  // namespace tessaly
