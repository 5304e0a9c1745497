// The templates were drawn for a narrower font than the shell's, and a label
// whose text is wider than its box loses its last letters under the control
// beside it. Such a label keeps its box and takes a smaller size of the font
// instead, down to 6 points, as the Linux windows do.
#pragma once

#include <windows.h>

#include <vector>

namespace tessaly {

class LabelFonts {
public:
    // Fits every text label of `dialog` as it stands now.
    explicit LabelFonts(HWND dialog);
    ~LabelFonts();
    LabelFonts(const LabelFonts&) = delete;
    LabelFonts& operator=(const LabelFonts&) = delete;

private:
    void Fit(HWND label);

    std::vector<HFONT> m_fonts;  // the smaller fonts, alive as long as their labels
};

}  // namespace tessaly
