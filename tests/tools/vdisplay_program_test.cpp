#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/pty_client.h"

namespace tessaly {
namespace {

using namespace std::chrono_literals;

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
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) {
            close(m_out);
        }
    }

    std::string FirstLine(std::chrono::milliseconds within) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd in{m_out, POLLIN, 0};
            if (poll(&in, 1, 50) <= 0) {
                continue;
            }
            char c = 0;
            if (read(m_out, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

    void Signal(int signal) { kill(m_pid, signal); }

    // Exit status, or -1 when the program did not end within the bound.
    int Wait(std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    bool m_reaped = false;
};

std::filesystem::path ScratchLink() {
    return std::filesystem::temp_directory_path() /
           ("tessaly-vdisplay-test-" + std::to_string(getpid()));
}

TEST(VirtualDisplayProgram, PrintsItsDeviceLinksItAndStopsCleanlyOnTerm) {
    const auto link = ScratchLink();
    Program program({"--link", link.string()});
    const std::string device = program.FirstLine(5s);
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    EXPECT_EQ(std::filesystem::read_symlink(link), device);

    testing::PtyClient client(link.string());
    client.Send({0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E});
    const testing::Bytes reply = client.Receive(4, 2s);
    ASSERT_EQ(reply.size(), 4u);
    EXPECT_EQ(reply[0], 0x57);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(5s), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(VirtualDisplayProgram, RunsWithTheChosenFault) {
    Program program({"--fault", "wrong-identity"});
    testing::PtyClient client(program.FirstLine(5s));
    client.Send({0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E});
    const testing::Bytes reply = client.Receive(4, 2s);
    ASSERT_EQ(reply.size(), 4u);
    EXPECT_EQ(reply[2], 0x20);
    program.Signal(SIGINT);
    EXPECT_EQ(program.Wait(5s), 0);
}

TEST(VirtualDisplayProgram, RefusesUnknownOptionsAndFaults) {
    EXPECT_EQ(Program({"--fault", "loud"}).Wait(5s), 2);
    EXPECT_EQ(Program({"--speed"}).Wait(5s), 2);
}

TEST(VirtualDisplayProgram, LeavesAnOrdinaryFileAtTheLinkPathAlone) {
    const auto path = ScratchLink();
    std::filesystem::remove(path);
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    Program program({"--link", path.string()});
    EXPECT_EQ(program.Wait(5s), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace tessaly
