#include "files/shown_name.h"

#include "files/separator.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(ShownName, ControlCharactersAreEscapedAndEverythingElseKept) {
    struct Case {
        std::string name;
        std::string shown;
    };
    const Case cases[] = {
        {"/home/op/Noname.sts", "/home/op/Noname.sts"},
        {"caf\xC3\xA9 \xE6\x97\xA5.sts", "caf\xC3\xA9 \xE6\x97\xA5.sts"},  // letters stay
        {"two\nlines\r\tx.sts", "two\\nlines\\r\\tx.sts"},
        {"red\x1B[31m.sts", "red\\x1B[31m.sts"},  // a terminal's colour change
        {"title\x1B]0;owned\x07", "title\\x1B]0;owned\\x07"},
        {std::string("nul\0.sts", 8), "nul\\x00.sts"},
        {"del\x7F", "del\\x7F"},
        {"c1\xC2\x9B"
         "2J",
         "c1\\u009B2J"},                                    // CSI as a C1 control
        {"evil\xE2\x80\xAEstx.exe", "evil\\u202Estx.exe"},  // right-to-left override
        {"bad\xFF\xC3.sts", "bad\\xFF\\xC3.sts"},           // not UTF-8
        {"over\xC0\xAF", "over\\xC0\\xAF"},                 // overlong "/"
        {"sur\xED\xA0\x80", "sur\\xED\\xA0\\x80"},          // a surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShownName(c.name), c.shown) << c.shown;
    }
}

// Within a POSIX name a backslash is doubled, so that no escape can be faked; a
// Windows path keeps its separators as the operator knows them.
TEST(ShownName, ABackslashIsDoubledOnlyWhereItIsNoSeparator) {
    EXPECT_EQ(ShownName("back\\slash"),
              BackslashSeparatesFolders() ? "back\\slash" : "back\\\\slash");
}

}  // namespace
}  // namespace tessaly
