// tessaly-windriver: takes an operator's steps on another program's windows and
// prints what the operator would read, with the time each message took to come.
// Exit status 0 when every step was taken, 1 at the first that could not be
// (its reason on standard error; a program it started is ended), 2 for bad
// usage. A program it started and no step closed is left running.
#include <windows.h>
// After windows.h.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "files/win32_utf16.h"
#include "tools/windriver/driver_steps.h"
#include "tools/windriver/win32_operator.h"

namespace {

using tessaly::Narrow;
using tessaly::windriver::Operator;
using tessaly::windriver::Step;
using tessaly::windriver::Verb;

constexpr const char* kUsage =
    "usage: tessaly-windriver [--bound-ms MS] STEP...\n"
    "  start=COMMAND  window=CAPTION  click=ID  select=ID:INDEX  text=ID  message\n"
    "  quiet=MS  close  exit=STATUS\n"
    "Every wait ends after MS milliseconds (10000 unless given).\n";

// Line breaks in a message box's text stay on one output line.
std::string OneLine(const std::wstring& text) {
    std::string line;
    for (const char c : Narrow(text)) {
        if (c == '\r') {
            continue;
        }
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return line;
}

bool Take(Operator& op, const Step& step) {
    switch (step.verb) {
        case Verb::Start:
            return op.Start(step.text);
        case Verb::Window: {
            const auto ms = op.AwaitWindow(step.text);
            if (ms && *ms >= 0) {
                std::printf("window \"%s\" %.1f ms after start\n", Narrow(step.text).c_str(), *ms);
            }
            return ms.has_value();
        }
        case Verb::Click:
            return op.Click(step.number);
        case Verb::Select:
            return op.Select(step.number, step.index);
        case Verb::Text: {
            const auto text = op.Text(step.number);
            if (text) {
                std::printf("text %d: %s\n", step.number, OneLine(*text).c_str());
            }
            return text.has_value();
        }
        case Verb::Message: {
            const auto message = op.AwaitMessage();
            if (message) {
                std::printf("message: %s\n", OneLine(message->text).c_str());
                std::printf("click to message %.1f ms\n", message->msSinceClick);
            }
            return message.has_value();
        }
        case Verb::Quiet:
            return op.StayQuiet(step.number);
        case Verb::Close:
            return op.Close();
        case Verb::Exit: {
            const auto status = op.AwaitExit();
            if (status && *status != static_cast<DWORD>(step.number)) {
                std::fprintf(stderr, "tessaly-windriver: the program ended with %lu, not %d\n",
                             static_cast<unsigned long>(*status), step.number);
                return false;
            }
            return status.has_value();
        }
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int boundMs = 10000;
    std::vector<std::wstring> words;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--bound-ms") == 0 && i + 1 < argc) {
            boundMs = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
            continue;
        }
        words.emplace_back(argv[i]);
    }
    std::wstring bad;
    const auto steps = tessaly::windriver::ParseSteps(words, bad);
    if (!steps || steps->empty() || boundMs <= 0) {
        if (!bad.empty()) {
            std::fprintf(stderr, "tessaly-windriver: not a step: %s\n", Narrow(bad).c_str());
        }
        std::fputs(kUsage, stderr);
        return 2;
    }

    Operator op(boundMs);
    for (const Step& step : *steps) {
        const bool taken = Take(op, step);
        std::fflush(stdout);
        if (!taken) {
            if (!op.Error().empty()) {
                std::fprintf(stderr, "tessaly-windriver: %s\n", op.Error().c_str());
            }
            op.EndStarted();
            return 1;
        }
    }
    return 0;
}
