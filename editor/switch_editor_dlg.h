// The switch editor: reads memory switches 10 to 14, shows the five settings they
// carry, lets the operator change them in the grid, writes the grid back and keeps
// it in status files. A choice in a list changes only the grid; the display
// changes only on "Set Status".
#pragma once

#include <cstdint>

#include "link/serial_link.h"
#include "switches/setting_mapping.h"
#include "switches/switch_grid.h"
#include "transactions/transactions.h"
#include "ui/progress_bar.h"
#include "ui/template_dialog.h"
#include "ui/window_services.h"

namespace tessaly {

class CSwitchEditorDlg : public CTemplateDialog {
public:
    // No parent: run modally over the main window, which sets m_pLink before the run.
    explicit CSwitchEditorDlg(WindowServices& services);

    // Borrowed from the main window, open for the whole run; never opened or closed here.
    CSerialLink* m_pLink = nullptr;

    // The lists' selected indices (-1: no selection), read and shown by the data exchange.
    std::int32_t m_codeTable = -1;
    std::int32_t m_intlSet = -1;
    std::int32_t m_brightness = -1;
    std::int32_t m_cursorMode = -1;
    std::int32_t m_peripheral = -1;

    // For tests: the bits that Set Status and Save Status would use.
    const SwitchGrid& Grid() const { return m_grid; }

    // A nonzero flag enables the lists, "Set Status" and "Save Status"; nothing is
    // ever disabled again, the window only moves from fresh to editable.
    void EnableControls(int flag);

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnInitDialog() override;

private:
    void OnGetStatus();
    void OnSetStatus();
    void OnSaveStatus();
    void OnLoadStatus();
    void OnExit();

    void OnSelChangeCodeTable();
    void OnSelChangeIntlSet();
    void OnSelChangeBrightness();
    void OnSelChangePeripheral();
    void OnSelChangeCursorMode();

    // Reads all five lists, lets `apply` rewrite the bits of the one setting that
    // changed, and shows all five again.
    void ApplyChoice(void (*apply)(SwitchGrid&, std::int32_t), const std::int32_t& index);
    void SetIndices(const SettingIndices& indices);
    // Shows the grid's settings in the lists; a list left without a selection by
    // bits that name none of its items says in its tooltip what `holder` holds.
    void ShowGrid(const char* holder);
    // The end of "Get Status", on the window's thread.
    void ShowRead(ReadOutcome outcome, const SwitchSet& read);

    ProgressBar m_progress;
    SwitchGrid m_grid;
};

}  // namespace tessaly
