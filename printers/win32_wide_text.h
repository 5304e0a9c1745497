// The Windows spooler and file system speak UTF-16; the rest of Tessaly keeps
// text in UTF-8.
#pragma once

#include <string>

namespace tessaly {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text);

}  // namespace tessaly
