// The printer journal survives crashes, so whatever a crash or another program
// left in it is read back: the reader must take any bytes, and what it took must
// read the same after the journal is written out again.
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "printers/printer_journal.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace tessaly;

// One scratch journal per process, in memory where the machine has it.
const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* shm = "/dev/shm";
        const char* tmp = std::getenv("TMPDIR");
        std::string dir = access(shm, W_OK) == 0 ? shm : (tmp != nullptr && *tmp ? tmp : "/tmp");
        std::string pattern = dir + "/tessaly-journal-fuzz.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        static std::string folder = pattern;
        std::atexit([] {
            unlink((folder + "/printers.journal").c_str());
            rmdir(folder.c_str());
        });
        return pattern + "/printers.journal";
    }();
    return path;
}

// The adapter: the journal's text in, the printers it names out.
PrinterPorts ReadJournal(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    return PrinterJournal(ScratchPath()).Load();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PrinterPorts read = ReadJournal(data, size);
    PrinterJournal journal(ScratchPath());
    for (const auto& [name, printer] : read) {
        FUZZ_CHECK(!name.empty());
    }
    // Forgetting nobody writes the journal out again, or removes it when empty.
    FUZZ_CHECK(journal.Forget({}));
    FUZZ_CHECK(journal.Load() == read);
    return 0;
}
