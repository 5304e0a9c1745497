#include "cli/cli_commands.h"

#include <optional>

#include <string>

#include "cli/command_line.h"
#include "cli/conditional_write.h"
#include "cli/display_session.h"
#include "cli/dry_run.h"
#include "cli/json_text.h"
#include "cli/port_commands.h"
#include "cli/setting_table.h"
#include "cli/switch_report.h"
#include "files/shown_name.h"
#include "switches/setting_mapping.h"
#include "switches/status_file.h"
#include "transactions/outcome_text.h"

namespace tessaly {

namespace {

int UsageError(const CliStreams& streams, const std::string& problem) {
    streams.err << "tessaly-cli: " << problem << '\n';
    return kExitUsage;
}

void PrintCommands(const CliStreams& streams, const RecordingLink& recorder) {
    for (const auto& command : recorder.Commands()) {
        streams.out << HexLine(command) << '\n';
    }
}

void PrintReport(const CliStreams& streams, const SwitchGrid& grid, bool json) {
    if (json) {
        streams.out << JsonText(SwitchReportJson(grid)) << '\n';
    } else {
        streams.out << SwitchReportText(grid);
    }
}

enum class FileLength { Any, Exact };

// The editor's loader: the name rule first, then the first 180 bytes. A script
// that loads a cut or foreign file by mistake would write zeros to the display, so
// the command line asks for the exact length unless told otherwise.
bool LoadStatusFile(const CliRequest& request, const CliStreams& streams, SwitchGrid& grid,
                    FileLength length) {
    if (!StatusFile::HasStatusFileName(request.file)) {
        streams.err << kWrongFormatFileText << '\n';
        return false;
    }
    LoadedStatus loaded = StatusFile::Load(request.file);
    if (!loaded.result.ok) {
        streams.err << loaded.result.error << '\n';
        return false;
    }
    if (length == FileLength::Exact && loaded.fileSize != StatusFile::kSize) {
        streams.err << "tessaly-cli: \"" << ShownName(request.file) << "\" holds "
                    << loaded.fileSize << " bytes, not the " << StatusFile::kSize
                    << " of a status file. The windows still load such a file (missing bytes "
                       "count as 0, bytes past the 180th are ignored); --allow-short loads it "
                       "here too.\n";
        return false;
    }
    grid = loaded.grid;
    return true;
}

class CommandRunner {
public:
    CommandRunner(const CliRequest& request, const CliStreams& streams,
                  const BorrowPrinters& borrowPrinters, const StopRequest* stop)
        : m_request(request),
          m_streams(streams),
          m_borrowPrinters(borrowPrinters),
          m_stop(stop),
          m_session(request, streams, borrowPrinters, stop) {}

    int Run() {
        switch (m_request.command) {
            case CliCommand::Check:
                return Check();
            case CliCommand::SelfTest:
                return SelfTestCommand();
            case CliCommand::Get:
                return Get();
            case CliCommand::Set:
                return m_request.emulation == kEscPos ? SetSwitches() : SetFramed();
            case CliCommand::Save:
                return Save();
            case CliCommand::Load:
                return Load();
            case CliCommand::Show:
                return Show();
            case CliCommand::ShowInfo:
                return ShowInfo();
            case CliCommand::Ports:
                return ListPorts(m_request, m_streams);
            case CliCommand::Scan:
                return ScanPorts(m_request, m_streams, m_borrowPrinters, m_stop);
            case CliCommand::Apply:
                return Apply();
        }
        return kExitUsage;
    }

    bool OpenFailed() const { return m_session.OpenFailed(); }

private:
    bool Framed() const { return m_request.emulation != kEscPos; }

    int NeedsEscPos(const char* command) {
        return UsageError(m_streams, std::string(command) +
                                         " works on the memory switches of an ESC/POS display; "
                                         "use --emulation escpos");
    }

    int Check() {
        if (!m_session.Connect()) {
            return kExitDevice;
        }
        return m_session.Succeed(CheckOutcomeText(CheckOutcome::Connected));
    }

    int SelfTestCommand() {
        if (!m_session.Connect()) {
            return kExitDevice;
        }
        return m_session.Sent(SelfTest(m_session.Link(), m_request.emulation), kSendFailedText);
    }

    int ShowInfo() {
        if (!Framed()) {
            return UsageError(m_streams,
                              "show-info is for --emulation quelmar or others; an ESC/POS "
                              "display shows its information with self-test");
        }
        if (!m_session.Connect()) {
            return kExitDevice;
        }
        return m_session.Sent(ShowInformation(m_session.Link()), kSendFailedText);
    }

    // Reads an ESC/POS display's switches as "Get Status" does; the exit status
    // when that could not be done.
    std::optional<int> ReadEscPos(const char* command, SwitchGrid& grid) {
        if (Framed()) {
            return NeedsEscPos(command);
        }
        if (!m_session.Connect() || !m_session.ReadGrid(grid)) {
            return kExitDevice;
        }
        return std::nullopt;
    }

    int Get() {
        SwitchGrid grid;
        if (const std::optional<int> failed = ReadEscPos("get", grid)) {
            return *failed;
        }
        PrintReport(m_streams, grid, m_request.json);
        return kExitSuccess;
    }

    int SetSwitches() {
        if (!m_request.choices.Any()) {
            return UsageError(m_streams, "set needs at least one setting to change");
        }
        SwitchGrid grid;
        // A dry run reads like any get; only the writing is left out.
        if (!m_session.Connect(!m_request.dryRun) || !m_session.ReadGrid(grid)) {
            return kExitDevice;
        }
        SwitchGrid wanted = grid;
        ApplyChoices(wanted, m_request.choices);
        return WriteIfChanged(m_session, m_request, m_streams, grid, wanted,
                              {false,
                               "The display already holds these settings. Nothing "
                               "was written."});
    }

    // The framed family cannot be read, so both settings go out together, as the
    // basic window sends them; one left out would silently become index 0.
    int SetFramed() {
        const SettingChoices& choices = m_request.choices;
        if (choices.brightness || choices.peripheral || choices.cursorMode) {
            return UsageError(m_streams,
                              "with --emulation quelmar or others only --code-table and "
                              "--intl-set can be set");
        }
        if (m_request.json) {
            return UsageError(m_streams,
                              "--json reports what an ESC/POS display held before and after; "
                              "a display in quelmar or others cannot be read");
        }
        if (!choices.codeTable || !choices.intlSet) {
            return UsageError(m_streams,
                              "with --emulation quelmar or others both --code-table and "
                              "--intl-set are sent, so both must be given");
        }
        const std::int32_t value = CodeTableValue(*choices.codeTable);
        if (m_request.dryRun) {
            RecordingLink recorder;
            SendBasicSettings(recorder, value, *choices.intlSet);
            PrintCommands(m_streams, recorder);
            return kExitSuccess;
        }
        if (!m_session.Connect()) {
            return kExitDevice;
        }
        return m_session.Sent(SendBasicSettings(m_session.Link(), value, *choices.intlSet),
                              kWriteFailedText);
    }

    int Save() {
        // A name that cannot be saved to is the script's mistake: said before any
        // printer is borrowed or the port opened, not after the display was read.
        if (const FileResult usable = StatusFile::CheckSaveTarget(m_request.file); !usable.ok) {
            return UsageError(m_streams, usable.error);
        }
        SwitchGrid grid;
        if (const std::optional<int> failed = ReadEscPos("save", grid)) {
            return *failed;
        }
        const FileResult saved = StatusFile::Save(m_request.file, grid);
        if (!saved.ok) {
            return m_session.Fail(saved.error.c_str(), kExitUsage);
        }
        return kExitSuccess;
    }

    int Load() {
        if (Framed()) {
            return NeedsEscPos("load");
        }
        SwitchGrid grid;
        const FileLength length = m_request.allowShort ? FileLength::Any : FileLength::Exact;
        if (!LoadStatusFile(m_request, m_streams, grid, length)) {
            return kExitUsage;
        }
        if (m_request.dryRun) {
            return DryRunWrite(grid);
        }
        if (!m_session.Connect()) {
            return kExitDevice;
        }
        return m_session.WriteGrid(grid);
    }

    // A load that writes only where the display differs from the file.
    int Apply() {
        if (Framed()) {
            return NeedsEscPos("apply");
        }
        SwitchGrid wanted;
        if (!LoadStatusFile(m_request, m_streams, wanted, FileLength::Exact)) {
            return kExitUsage;
        }
        SwitchGrid held;
        if (!m_session.Connect(!m_request.dryRun) || !m_session.ReadGrid(held)) {
            return kExitDevice;
        }
        return WriteIfChanged(m_session, m_request, m_streams, held, wanted,
                              {true, "The display already holds the settings of \"" +
                                         ShownName(m_request.file) + "\". Nothing was written."});
    }

    int Show() {
        SwitchGrid grid;
        if (!LoadStatusFile(m_request, m_streams, grid, FileLength::Any)) {
            return kExitUsage;
        }
        PrintReport(m_streams, grid, m_request.json);
        return kExitSuccess;
    }

    int DryRunWrite(const SwitchGrid& grid) {
        for (const auto& command : SwitchWriteCommands(CarriedSwitches(grid))) {
            m_streams.out << HexLine(command) << '\n';
        }
        return kExitSuccess;
    }

    const CliRequest& m_request;
    const CliStreams& m_streams;
    const BorrowPrinters& m_borrowPrinters;
    const StopRequest* m_stop;
    DisplaySession m_session;
};

}  // namespace

int RunCliCommand(const CliRequest& request, const CliStreams& streams,
                  const BorrowPrinters& borrowPrinters, const StopRequest* stop) {
    CommandRunner runner(request, streams, borrowPrinters, stop);
    const int status = runner.Run();
    // Whatever the command, a port that would not open ends the run with 3.
    return status == kExitDevice && runner.OpenFailed() ? kExitOpen : status;
}

}  // namespace tessaly
