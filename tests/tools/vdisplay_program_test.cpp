// The tessaly-vdisplay program as a session uses it: its device on the first
// line, the link it makes, the fault it is told to play, and a clean end on a
// termination signal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program run as a child with its standard output on a pipe.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        args.insert(args.begin(), TESSALY_VDISPLAY_PROGRAM);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            std::vector<char*> argv;
            for (auto& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        m_out = out[0];
    }
    ~Program() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_out);
    }

    std::string FirstLine() {
        std::string line;
        char c = 0;
        for (pollfd in{m_out, POLLIN, 0}; poll(&in, 1, 5000) > 0 && read(m_out, &c, 1) == 1;) {
            if (c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    // Exit status, 128 + signal, or -1 when the program did not end within five seconds.
    int Wait(int signal = 0) {
        if (signal != 0) {
            kill(m_pid, signal);
        }
        for (const auto end = Clock::now() + 5s; Clock::now() < end;) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

// The four-byte answer to the request to enter user setting mode, or fewer bytes.
std::string EnterAnswer(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    const unsigned char enter[] = {0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E};
    std::string answer;
    if (fd >= 0 && write(fd, enter, sizeof enter) == sizeof enter) {
        char byte = 0;
        for (pollfd in{fd, POLLIN, 0};
             answer.size() < 4 && poll(&in, 1, 2000) > 0 && read(fd, &byte, 1) == 1;) {
            answer += byte;
        }
    }
    close(fd);
    return answer;
}

TEST(VirtualDisplayProgram, LinksItsDeviceAnswersAndEndsCleanlyOnTermination) {
    const auto link = std::filesystem::temp_directory_path() /
                      ("tessaly-vdisplay-test-" + std::to_string(getpid()));
    Program program({"--link", link.string()});
    const std::string device = program.FirstLine();
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    EXPECT_EQ(std::filesystem::read_symlink(link), device);
    EXPECT_EQ(EnterAnswer(link).substr(0, 3), "\x57\x23\x1F");
    EXPECT_EQ(program.Wait(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

    // An ordinary file at the link path is never replaced.
    std::ofstream(link).put('x');
    EXPECT_EQ(Program({"--link", link.string()}).Wait(), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(link));
    std::filesystem::remove(link);
}

TEST(VirtualDisplayProgram, PlaysTheChosenFaultAndRefusesUnknownOptions) {
    Program program({"--fault", "wrong-identity"});
    EXPECT_EQ(EnterAnswer(program.FirstLine()).substr(0, 3), "\x57\x23\x20");
    EXPECT_EQ(program.Wait(SIGINT), 0);

    EXPECT_EQ(Program({"--fault", "loud"}).Wait(), 2);
    EXPECT_EQ(Program({"--speed"}).Wait(), 2);
}

}  // namespace
}  // namespace tessaly
