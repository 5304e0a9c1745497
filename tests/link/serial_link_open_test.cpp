// Open, Configure and Close on a real pseudo-terminal, and port names.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>

#include "link/port_name.h"
#include "tests/link/pty_peer.h"

namespace tessaly::test {
namespace {

class SerialLinkOpen : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(peer.Ready()); }
    PtyPeer peer;
};

TEST_F(SerialLinkOpen, GuardsReturnZeroWithoutTouchingDeviceOrBuffer) {
    CSerialLink link;
    std::uint8_t buf[4] = {7, 7, 7, 7};
    EXPECT_EQ(link.Write(buf, 4), 0u);  // never opened
    EXPECT_EQ(link.Read(buf, 4, 1000), 0u);

    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath())));
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.Write(buf, 0), 0u);
    EXPECT_EQ(link.Write(nullptr, 4), 0u);
    EXPECT_EQ(link.Read(buf, 0, 1000), 0u);
    EXPECT_EQ(link.Read(nullptr, 4, 1000), 0u);
    EXPECT_TRUE(peer.Received().empty());

    link.Close();
    EXPECT_FALSE(link.IsOpen());
    link.Close();  // closing a closed link does nothing
    EXPECT_EQ(link.Write(buf, 4), 0u);
    EXPECT_EQ(link.Read(buf, 4, 1000), 0u);
    EXPECT_EQ(buf[0], 7);
    EXPECT_EQ(buf[3], 7);
}

TEST_F(SerialLinkOpen, SecondOpenKeepsDeviceStateAndQueuedInput) {
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath(), 9600)));
    ASSERT_TRUE(link.Open());
    peer.Send({1, 2, 3});
    usleep(50'000);

    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath(), 115200)));
    EXPECT_TRUE(link.Open());  // no reopen: neither purged nor given the new baud
    EXPECT_EQ(peer.SlaveSpeed(), B9600);
    std::uint8_t buf[3] = {};
    ASSERT_EQ(link.Read(buf, 3, 1000), 3u);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[2], 3);
}

TEST_F(SerialLinkOpen, ReopenAppliesSettingsGivenInBetween) {
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath(), 9600)));
    ASSERT_TRUE(link.Open());
    termios t = peer.SlaveState();
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);

    LinkSettings changed = SettingsFor(peer.SlavePath(), 115200);
    changed.dataBits = 7;
    changed.parity = 1;
    changed.stopBits = 1;  // "one and a half" becomes two stop bits
    changed.flowControl = 1;
    ASSERT_TRUE(link.Configure(changed));
    link.Close();
    ASSERT_TRUE(link.Open());
    // A pty always reports CS8 without PARENB (it has no wire); the other items stay.
    t = peer.SlaveState();
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), tcflag_t{PARODD | CSTOPB});
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), tcflag_t{IXON | IXOFF | INPCK});

    changed.parity = 2;
    changed.stopBits = 2;
    ASSERT_TRUE(link.Configure(changed));
    link.Close();
    ASSERT_TRUE(link.Open());
    t = peer.SlaveState();
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), tcflag_t{CSTOPB});
    EXPECT_EQ(t.c_iflag & INPCK, tcflag_t{INPCK});
}

// The pseudo-terminal dropped the parity at the first open; Linux then refuses
// the same request outright, which must not make the next check fail.
TEST_F(SerialLinkOpen, ReopenWithParityOnAPseudoTerminalStillOpens) {
    CSerialLink link;
    LinkSettings even = SettingsFor(peer.SlavePath(), 115200);
    even.parity = 2;
    ASSERT_TRUE(link.Configure(even));
    for (int open = 0; open < 3; ++open) {
        ASSERT_TRUE(link.Open()) << "open " << open;
        const termios state = peer.SlaveState();
        EXPECT_EQ(cfgetospeed(&state), B115200);
        link.Close();
    }
}

TEST_F(SerialLinkOpen, ConfigureWithEmptyNameKeepsNameButTakesTheRest) {
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath(), 115200)));
    LinkSettings unnamed = SettingsFor("", 9600);
    unnamed.parity = 2;
    unnamed.timeouts = LinkTimeouts{1, 2, 3, 4, 5};
    EXPECT_FALSE(link.Configure(unnamed));
    EXPECT_EQ(link.Settings().portName, peer.SlavePath());
    EXPECT_EQ(link.Settings().baud, 9600);
    EXPECT_EQ(link.Settings().parity, 2);
    EXPECT_EQ(link.Settings().timeouts.writeTotalConstant, 5u);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(peer.SlaveSpeed(), B9600);
}

// Whether the device refuses other programs' opens (TIOCEXCL).
bool MarkedExclusive(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 0;
    if (fd >= 0) {
        ioctl(fd, TIOCGEXCL, &exclusive);
        close(fd);
    }
    return exclusive != 0;
}

TEST_F(SerialLinkOpen, FailedOpenLeavesLinkClosedAndLaterOpenTriesAgain) {
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor("/dev/tessaly-no-such-device")));
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsOpen());

    // Refused line settings: the device is released, so another link can take it.
    for (auto refuse :
         {+[](LinkSettings& s) { s.baud = 12345; }, +[](LinkSettings& s) { s.dataBits = 9; },
          +[](LinkSettings& s) { s.parity = 5; }, +[](LinkSettings& s) { s.stopBits = 3; }}) {
        LinkSettings bad = SettingsFor(peer.SlavePath());
        refuse(bad);
        ASSERT_TRUE(link.Configure(bad));
        EXPECT_FALSE(link.Open());
        EXPECT_FALSE(link.IsOpen());
        EXPECT_FALSE(MarkedExclusive(peer.SlavePath())) << "other programs may open it again";
        CSerialLink other;
        ASSERT_TRUE(other.Configure(SettingsFor(peer.SlavePath())));
        EXPECT_TRUE(other.Open());
    }

    ASSERT_TRUE(link.Configure(SettingsFor(peer.SlavePath())));
    EXPECT_TRUE(link.Open());
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(SerialLinkOpen, PathThatIsNotATerminalFailsAndIsReleased) {
    char path[] = "/tmp/tessaly-link-XXXXXX";
    const int file = mkstemp(path);
    ASSERT_GE(file, 0);
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor(path)));
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(flock(file, LOCK_EX | LOCK_NB), 0) << "the failed Open still holds the file";
    close(file);
    unlink(path);

    ASSERT_TRUE(link.Configure(SettingsFor("/dev/null")));
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsOpen());
}

// errno of open() on `path` by an unprivileged process (root passes TIOCEXCL).
int UnprivilegedOpenErrno(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(255);
        }
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        _exit(fd >= 0 ? 0 : errno);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SerialLinkOpen, SecondOpenerIsRefusedUntilClose) {
    chmod(peer.SlavePath().c_str(), 0666);  // so that an unprivileged child may try
    CSerialLink first;
    ASSERT_TRUE(first.Configure(SettingsFor(peer.SlavePath())));
    ASSERT_TRUE(first.Open());

    CSerialLink second;
    ASSERT_TRUE(second.Configure(SettingsFor(peer.SlavePath())));
    EXPECT_FALSE(second.Open());
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(UnprivilegedOpenErrno(peer.SlavePath()), EBUSY);

    first.Close();
    EXPECT_EQ(UnprivilegedOpenErrno(peer.SlavePath()), 0);
    EXPECT_TRUE(second.Open());
}

TEST(SerialLinkPortName, ComNamesMapToEnvironmentOrTtyS) {
    unsetenv("TESSALY_COM1");
    setenv("TESSALY_COM10", "/dev/pts/77", 1);
    EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("COM10"), "/dev/pts/77");
    setenv("TESSALY_COM1", "", 1);  // empty counts as not set
    EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("COM4"), "/dev/ttyS3");
    EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    for (const char* asIs : {"COM", "COM0", "COMx", "com1", "LPT1", "ttyS0"}) {
        EXPECT_EQ(ResolvePortName(asIs), asIs);
    }
    unsetenv("TESSALY_COM1");
    unsetenv("TESSALY_COM10");
}

TEST_F(SerialLinkOpen, ComNameOpensTheDeviceNamedByTheEnvironment) {
    setenv("TESSALY_COM3", peer.SlavePath().c_str(), 1);
    CSerialLink link;
    ASSERT_TRUE(link.Configure(SettingsFor("COM3")));
    EXPECT_TRUE(link.Open());
    const std::uint8_t byte = 0x1B;
    EXPECT_EQ(link.Write(&byte, 1), 1u);
    EXPECT_EQ(peer.Received(), std::vector<std::uint8_t>{0x1B});
    unsetenv("TESSALY_COM3");
}

}  // namespace
}  // namespace tessaly::test
