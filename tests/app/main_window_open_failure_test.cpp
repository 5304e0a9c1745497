// A port that cannot be opened keeps the window's sentence, and the second text
// says which device, the system's reason and the remedy.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace tessaly::testing {
namespace {

class MainWindowOpenFailure : public MainWindowTest {
protected:
    // Presses "Check Communication" with COM1 on `path`; the detail it showed.
    std::string CheckOn(const std::string& path) {
        ::setenv("TESSALY_COM1", path.c_str(), 1);
        services.details.clear();
        EXPECT_EQ(Check(), kCannotOpen);
        EXPECT_TRUE(ShowsNotConnected());
        return services.details.empty() ? "" : services.details.back();
    }
    test::TempDir dir;
};

TEST_F(MainWindowOpenFailure, MissingDeviceAsksWhetherTheAdapterIsPluggedIn) {
    const std::string path = dir.Path() + "/ttyUSB9";
    EXPECT_EQ(CheckOn(path), path +
                                 ": No such file or directory (ENOENT)\nNo such device: is the "
                                 "adapter plugged in? Choose the port again once it is.");
}

TEST_F(MainWindowOpenFailure, RegularFileIsNoSerialPort) {
    const std::string path = dir.Path() + "/notes.txt";
    std::ofstream(path) << "not a port";
    EXPECT_EQ(CheckOn(path), path +
                                 ": not a terminal: Inappropriate ioctl for device (ENOTTY)\n"
                                 "This is not a serial port; choose a serial device.");
}

// Another process holds the port; the text names it by its pid.
TEST_F(MainWindowOpenFailure, HeldPortNamesTheProgramThatHoldsIt) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(display.DevicePath().c_str(), O_RDWR | O_NOCTTY);
        flock(fd, LOCK_EX);
        [[maybe_unused]] auto w = write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    const std::string detail = CheckOn(display.DevicePath());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(detail.rfind(display.DevicePath() + ": held by another Tessaly", 0), 0u) << detail;
    EXPECT_NE(detail.find("(pid " + std::to_string(holder) + ")"), std::string::npos) << detail;
}

}  // namespace
}  // namespace tessaly::testing
