// The operator's steps that tessaly-windriver takes, one per command-line word:
//
//   start=COMMAND     starts a program (COMMAND as CreateProcess takes it)
//   window=CAPTION    waits for a shown top-level window so titled; later steps act on it
//   click=ID          clicks the button ID once it and its window take input
//   select=ID:INDEX   chooses item INDEX of the drop-down ID, as the mouse would
//   text=ID           prints the control's text
//   message           waits for the message box, prints its text and presses OK
//   quiet=MS          no message box may come within MS milliseconds
//   close             the window's close box
//   exit=STATUS       waits for the started program to end with STATUS
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::windriver {

enum class Verb { Start, Window, Click, Select, Text, Message, Quiet, Close, Exit };

struct Step {
    Verb verb;
    std::wstring text;  // start's command, window's caption
    int number = 0;     // the control id, the milliseconds, the status
    int index = 0;      // select's item
};

// nullopt for a word that is no step (an unknown verb, a missing or bad number).
std::optional<Step> ParseStep(std::wstring_view word);
// Every word, or nullopt and the first word that is no step in `bad`.
std::optional<std::vector<Step>> ParseSteps(const std::vector<std::wstring>& words,
                                            std::wstring& bad);

}  // namespace tessaly::windriver
