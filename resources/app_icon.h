// The application icon (IDR_MAINFRAME): a pole display on its stand showing a
// price, in 32 x 32 and 16 x 16, drawn from the 16-colour palette.
#pragma once

namespace tessaly {

// clang-format off
inline const char* const kAppIcon32Xpm[] = {
    "32 32 6 1",
    ". c None",
    "k c #000000",
    "g c #C0C0C0",
    "b c #000080",
    "G c #00FF00",
    "w c #FFFFFF",
    "................................",
    "................................",
    "................................",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggbbbbbbbbbbbbbbbbbbbbbbggk..",
    "..kggbbbbbbbbbbbbbbbbbbbbbbggk..",
    "..kggbbGGGGbbbGGGGbGGGGbbbbggk..",
    "..kggbbGbbGbbbbbbGbGbbbbbbbggk..",
    "..kggbbGbbGbbbGGGGbGGGGbbbbggk..",
    "..kggbbGbbGbbbGbbGbbbbGbbbbggk..",
    "..kggbbGGGGbGbGGGGbGGGGbGbbggk..",
    "..kggbbbbbbbbbbbbbbbbbbbbbbggk..",
    "..kggbbbbbbbbbbbbbbbbbbbbbbggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "..............kggk..............",
    "........kkkkkkkkkkkkkkkk........",
    "........kwwwwwwwwwwwwwwk........",
    "........kkkkkkkkkkkkkkkk........",
    "................................",
    "................................"
};

inline const char* const kAppIcon16Xpm[] = {
    "16 16 6 1",
    ". c None",
    "k c #000000",
    "g c #C0C0C0",
    "b c #000080",
    "G c #00FF00",
    "w c #FFFFFF",
    "................",
    "................",
    ".kggggggggggggg.",
    ".kbbbbbbbbbbbbg.",
    ".kbGbGbGbGbGbbg.",
    ".kbGbGbGbGbGbbg.",
    ".kbGbGbGbGbGbbg.",
    ".kbbbbbbbbbbbbg.",
    ".kggggggggggggg.",
    ".......kg.......",
    ".......kg.......",
    ".......kg.......",
    ".......kg.......",
    ".......kg.......",
    "....wwwwwwwwk...",
    "................"
};
// clang-format on

}  // namespace tessaly
