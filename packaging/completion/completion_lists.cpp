// Fills the item lists into the bash completion of tessaly-cli at build time,
// from the same tables the command line checks its values against, so that
// the completion offers exactly the texts tessaly-cli accepts.
//
// usage: tessaly-completion-lists TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/item_match.h"
#include "cli/setting_table.h"
#include "resources/main_lists.h"

namespace {

constexpr const char* kMarker = "@ITEM_LISTS@";

// One bash word in single quotes, safe for any text.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// `[--option]='item1<newline>item2...'`, an entry of an associative array.
template <typename Items>
std::string Entry(const std::string& option, const Items& items) {
    std::string joined;
    for (const auto& item : items) {
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += item;
    }
    return "    [" + option + "]=" + Quoted(joined) + "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tessaly-completion-lists TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    std::string script = text.str();
    const auto marker = script.find(kMarker);
    if (!in || marker == std::string::npos) {
        std::cerr << argv[1] << ": no " << kMarker << " line\n";
        return 1;
    }

    std::string lists = Entry("--baud", tessaly::kBaudItems) +
                        Entry("--data-bits", tessaly::kDataBitsItems) +
                        Entry("--port", tessaly::kPortItems);
    for (const tessaly::SettingRow& row : tessaly::kSettingRows) {
        // The item texts first, then the other names the command line takes.
        std::vector<std::string> names(row.items.begin(), row.items.end());
        for (std::string& other :
             tessaly::OtherNames(row.items, tessaly::SettingAliases(row.items))) {
            names.push_back(std::move(other));
        }
        lists += Entry(std::string("--") + row.option, names);
    }
    script.replace(marker, std::string(kMarker).size() + 1, lists);  // with its newline

    std::ofstream out(argv[2]);
    out << script;
    out.close();
    if (!out) {
        std::cerr << argv[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
