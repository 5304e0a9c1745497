// The resources of the Windows programs, read back as Windows reads them: the
// version record through the version API, the icon and the manifest through
// the resource API. tessaly-cli.exe carries the console's set; this program
// carries the windows' set (GUI), so that it also shows that set in effect.
// Before windows.h, whose IDOK and IDCANCEL macros would stand for its names.
#include "resources/control_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
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

// One program's resources, loaded as data.
class Resources {
public:
    explicit Resources(const std::wstring& path)
        : m_module(path.empty()
                       ? GetModuleHandleW(nullptr)
                       : LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)),
          m_owned(!path.empty()) {}
    ~Resources() {
        if (m_owned && m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }
    bool Loaded() const { return m_module != nullptr; }

    std::string_view Bytes(const wchar_t* type, int id) const {
        HRSRC found = FindResourceW(m_module, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) {
            return {};
        }
        const void* data = LockResource(LoadResource(m_module, found));
        return {static_cast<const char*>(data), SizeofResource(m_module, found)};
    }

private:
    HMODULE m_module;
    bool m_owned;
};

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

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

TEST(WindowsResources, IconHasTheShellSizesAndEachImageMakesAnIcon) {
    const Resources cli(CommandLineProgram());
    ASSERT_TRUE(cli.Loaded());
    const std::string_view group = cli.Bytes(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u) << "no icon " << IDR_MAINFRAME;
    const WORD count = reinterpret_cast<const WORD*>(group.data())[2];
    ASSERT_EQ(group.size(), 6 + count * sizeof(IconGroupEntry));
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group.data() + 6);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const int size = entries[i].width == 0 ? 256 : entries[i].width;
        sizes.insert(size);
        const std::string_view image = cli.Bytes(RT_ICON, entries[i].id);
        HICON icon = CreateIconFromResourceEx(
            reinterpret_cast<BYTE*>(const_cast<char*>(image.data())),
            static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(nullptr, icon) << size << " x " << size;
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    EXPECT_EQ((std::set<int>{16, 32, 48, 256}), sizes);
}

// The windows' parts of the manifest are in force in this program; the command
// line has none of them, but the rest.
TEST(WindowsResources, OnlyWindowsManifestsAskForCommonControlsAndPerMonitorDpi) {
    const Resources self(L"");
    const Resources cli(CommandLineProgram());
    const struct {
        const char* program;
        const Resources& resources;
        bool windows;
    } programs[] = {{"this test", self, true}, {"tessaly-cli.exe", cli, false}};
    for (const auto& p : programs) {
        SCOPED_TRACE(p.program);
        const std::string_view manifest = p.resources.Bytes(RT_MANIFEST, 1);
        EXPECT_NE(std::string_view::npos, manifest.find("level=\"asInvoker\""));
        EXPECT_NE(std::string_view::npos, manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"));
        EXPECT_EQ(p.windows,
                  manifest.find("Microsoft.Windows.Common-Controls") != std::string_view::npos);
        EXPECT_EQ(p.windows, manifest.find("PerMonitorV2") != std::string_view::npos);
    }
}

}  // namespace
}  // namespace tessaly
