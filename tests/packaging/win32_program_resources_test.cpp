// tessaly-cli.exe's version record, read back as Explorer reads it: through
// GetFileVersionInfoW, under wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/version.h"

namespace tessaly {
namespace {

// The command line beside this test, as the build lays them out.
std::wstring CommandLineProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L"\\/") + 1);
    for (const char c : std::string_view(TESSALY_CLI_FROM_TEST)) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

std::wstring Wide(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

TEST(WindowsResources, VersionRecordNamesTheProgramAndBothVersions) {
    const std::wstring cli = CommandLineProgram();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(cli.c_str(), &ignored);
    ASSERT_NE(0u, size) << "no version record in the command line, error " << GetLastError();
    std::string record(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(cli.c_str(), 0, size, record.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    // The project's version has three parts, Windows' four.
    const std::string product = std::string(kProductVersion) + ".0";
    const struct {
        const char* which;
        std::string text;
        DWORD high, low;
    } versions[] = {
        {"file", kFileVersion, fixed->dwFileVersionMS, fixed->dwFileVersionLS},
        {"product", product, fixed->dwProductVersionMS, fixed->dwProductVersionLS},
    };
    for (const auto& v : versions) {
        SCOPED_TRACE(v.which);
        unsigned part[4] = {};
        ASSERT_EQ(
            4, std::sscanf(v.text.c_str(), "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]));
        EXPECT_EQ(MAKELONG(part[1], part[0]), v.high);
        EXPECT_EQ(MAKELONG(part[3], part[2]), v.low);
    }

    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, static_cast<const WORD*>(value)[0]);  // U.S. English
    EXPECT_EQ(1200, static_cast<const WORD*>(value)[1]);    // UTF-16

    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"CompanyName", L"Tessaly developers"},
        {L"FileDescription", L"Tessaly command line"},
        {L"FileVersion", Wide(kFileVersion)},
        {L"OriginalFilename", L"tessaly-cli.exe"},
        {L"ProductName", L"Tessaly"},
        {L"ProductVersion", Wide(product)},
        {L"LegalCopyright", L"Copyright 2026 The Tessaly developers"},
    };
    for (const auto& [name, expected] : strings) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        void* text = nullptr;
        ASSERT_TRUE(VerQueryValueW(record.data(), query.c_str(), &text, &length));
        EXPECT_EQ(expected, std::wstring(static_cast<const wchar_t*>(text)));
    }
}

}  // namespace
}  // namespace tessaly
