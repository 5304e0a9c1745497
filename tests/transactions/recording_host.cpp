#include "tests/transactions/recording_host.h"

#include <algorithm>

namespace tessaly::testing {

void RecordingHost::StepProgress() {
    progress.push_back(kStep);
    if (hook && Steps() == hookAtStep) {
        hook();
    }
}

int RecordingHost::Steps() const {
    return static_cast<int>(std::count(progress.begin(), progress.end(), kStep));
}

LinkSettings SettingsFor(const std::string& device) {
    LinkSettings settings;
    settings.portName = device;
    settings.baud = 115200;
    settings.dataBits = 8;
    settings.timeouts = kMainWindowTimeouts;
    return settings;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes BytesOf(const CommandRow& row) {
    return Bytes(row.view().begin(), row.view().end());
}

}  // namespace tessaly::testing
