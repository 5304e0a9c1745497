// A program run as a child of a test, the way a script runs it: standard input
// a pipe the test closes when it likes, output and errors on pipes, no
// terminal, and nothing about it waiting without a bound.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessaly::testing {

struct ChildResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Starts `argv` (argv[0] looked up on PATH) with `environment` set in the
    // child on top of the test's own.
    ChildProcess(std::vector<std::string> argv, const Environment& environment) {
        int in[2];
        int out[2];
        int err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        std::vector<char*> pointers;
        for (auto& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            for (const auto& [name, value] : environment) {
                setenv(name.c_str(), value.c_str(), 1);
            }
            execvp(pointers[0], pointers.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
    }
    // Kills a child that is still running.
    ~ChildProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        for (const int fd : {m_in, m_out, m_err}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }

    // The child then reads the end of its input.
    void CloseInput() {
        if (m_in >= 0) {
            close(m_in);
            m_in = -1;
        }
    }

    // The next line of output, without its newline; nothing when the output
    // ended or no whole line came within `bound`.
    std::optional<std::string> Line(std::chrono::milliseconds bound) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        std::string line;
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{m_out, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char byte = 0;
            if (read(m_out, &byte, 1) != 1) {
                return std::nullopt;
            }
            if (byte == '\n') {
                return line;
            }
            line += byte;
        }
    }

    // Collects the rest of the output until the child ends; kills it once
    // `limit` has passed, so that a test can fail but never hang.
    ChildResult Finish(std::chrono::seconds limit = std::chrono::seconds(30)) {
        ChildResult result;
        if (m_pid <= 0) {
            return result;
        }
        const auto deadline = std::chrono::steady_clock::now() + limit;
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        std::string* sinks[2] = {&result.out, &result.err};
        int open = 2;
        while (open > 0 && std::chrono::steady_clock::now() < deadline) {
            if (poll(fds, 2, 100) <= 0) {
                continue;
            }
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || fds[i].revents == 0) {
                    continue;
                }
                char buffer[4096];
                const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(got));
                } else {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        if (open > 0) {
            kill(m_pid, SIGKILL);
        }
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return result;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
};

}  // namespace tessaly::testing
