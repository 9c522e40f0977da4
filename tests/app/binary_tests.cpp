// What a user's Windows reads from Belavo.exe before and without running it:
// the DLLs it needs, the protections it asks for and the version block shown
// in Properties.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "ui_driver.hpp"

namespace belavo::test {
namespace {

#ifdef _MSC_VER
constexpr bool kMsvc = true;
#else
constexpr bool kMsvc = false;
#endif

// The built exe mapped as an image, its imports left unresolved.
class ExeImage {
public:
    ExeImage() : module_(LoadLibraryExW(belavoExe().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {}
    ~ExeImage() {
        if (module_) FreeLibrary(module_);
    }
    ExeImage(const ExeImage&) = delete;
    ExeImage& operator=(const ExeImage&) = delete;

    bool loaded() const { return module_ != nullptr; }
    template <class T>
    const T* at(DWORD rva) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module_) + rva);
    }
    const IMAGE_NT_HEADERS64& headers() const {
        return *at<IMAGE_NT_HEADERS64>(at<IMAGE_DOS_HEADER>(0)->e_lfanew);
    }
    const IMAGE_DATA_DIRECTORY& directory(int entry) const { return headers().OptionalHeader.DataDirectory[entry]; }
    bool dllCharacteristic(WORD flag) const { return (headers().OptionalHeader.DllCharacteristics & flag) != 0; }

    // The data of the debug directory entry of that type, if there is one.
    const DWORD* debugData(DWORD type) const {
        const IMAGE_DATA_DIRECTORY& debug = directory(IMAGE_DIRECTORY_ENTRY_DEBUG);
        const auto* entries = at<IMAGE_DEBUG_DIRECTORY>(debug.VirtualAddress);
        for (DWORD i = 0; i < debug.Size / sizeof(IMAGE_DEBUG_DIRECTORY); ++i) {
            if (entries[i].Type == type) return at<DWORD>(entries[i].AddressOfRawData);
        }
        return nullptr;
    }

    // Where Windows looks for the imported DLLs; 0 without a load configuration.
    WORD dependentLoadFlags() const {
        const IMAGE_DATA_DIRECTORY& config = directory(IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG);
        // The word after CSDVersion (Reserved1 in MinGW's header, DependentLoadFlags in the SDK's).
        constexpr std::size_t offset = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, CSDVersion) + sizeof(WORD);
        if (config.VirtualAddress == 0 || *at<DWORD>(config.VirtualAddress) < offset + sizeof(WORD)) return 0;
        return *at<WORD>(static_cast<DWORD>(config.VirtualAddress + offset));
    }

    std::vector<std::string> importedDlls() const {
        std::vector<std::string> names;
        for (auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
             entry->Name; ++entry) {
            std::string name = at<char>(entry->Name);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            names.push_back(name);
        }
        return names;
    }

private:
    HMODULE module_;
};

// The static link leaves only DLLs that every Windows has in System32, so a
// DLL lying beside the exe in a Downloads folder is never needed.
TEST(BinaryTest, ImportsOnlySystemDlls) {
    const ExeImage exe;
    ASSERT_TRUE(exe.loaded());
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",  "shell32.dll", "advapi32.dll",
                                          "comctl32.dll", "imm32.dll", "ole32.dll", "msvcrt.dll", "ucrtbase.dll"};
    const std::vector<std::string> imported = exe.importedDlls();
    ASSERT_FALSE(imported.empty());
    for (const std::string& name : imported) {
        EXPECT_TRUE(system.count(name) || name.starts_with("api-ms-win-")) << name;
    }
}

constexpr DWORD kDebugTypeRepro = 16;
constexpr DWORD kDebugTypeExDllCharacteristics = 20;
constexpr DWORD kCetCompatible = 0x01;

struct ImageFact {
    const char* what;
    bool (*holds)(const ExeImage&);
    bool msvcOnly = false;  // options MinGW's linker has no equivalent for
};

constexpr ImageFact kImageFacts[] = {
    {"a window program, no console",
     [](const ExeImage& exe) { return exe.headers().OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI; }},
    {"ASLR", [](const ExeImage& exe) { return exe.dllCharacteristic(IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE); }},
    {"high-entropy ASLR",
     [](const ExeImage& exe) { return exe.dllCharacteristic(IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA); }},
    {"no-execute data", [](const ExeImage& exe) { return exe.dllCharacteristic(IMAGE_DLLCHARACTERISTICS_NX_COMPAT); }},
    // /Brepro writes a hash of the contents where the link time would go.
    {"no link time",
     [](const ExeImage& exe) {
         return exe.headers().FileHeader.TimeDateStamp == 0 || exe.debugData(kDebugTypeRepro) != nullptr;
     }},
    {"Control Flow Guard",
     [](const ExeImage& exe) { return exe.dllCharacteristic(IMAGE_DLLCHARACTERISTICS_GUARD_CF); }, true},
    {"CET shadow stack compatible",
     [](const ExeImage& exe) {
         const DWORD* flags = exe.debugData(kDebugTypeExDllCharacteristics);
         return flags && (*flags & kCetCompatible);
     },
     true},
    {"imports resolved from System32 only",
     [](const ExeImage& exe) { return exe.dependentLoadFlags() == LOAD_LIBRARY_SEARCH_SYSTEM32; }, true},
};

TEST(BinaryTest, HeadersAskForTheProtections) {
    const ExeImage exe;
    ASSERT_TRUE(exe.loaded());
    for (const ImageFact& fact : kImageFacts) {
        if (fact.msvcOnly && !kMsvc) continue;
        EXPECT_TRUE(fact.holds(exe)) << fact.what;
    }
}

// The version block as Windows shows it in the file's Properties, against the
// project's version (BELAVO_PROJECT_VERSION: major, minor, build, revision).
TEST(BinaryTest, PropertiesShowTheProjectVersion) {
    constexpr WORD version[] = {BELAVO_PROJECT_VERSION};
    const std::wstring exe = belavoExe();
    std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    const auto query = [&block](const std::wstring& path) -> const void* {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(block.data(), path.c_str(), &value, &length) && length ? value : nullptr;
    };

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(version[1], version[0]));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(version[3], version[2]));
    const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    EXPECT_EQ(translation[1], 1200);  // UTF-16

    wchar_t shortVersion[16], longVersion[32];
    std::swprintf(shortVersion, 16, L"%u.%u", version[0], version[1]);
    std::swprintf(longVersion, 32, L"%u.%02u.%04u", version[0], version[1], version[3]);
    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"FileDescription", L"Belavo"},
        {L"ProductName", std::wstring(L"Belavo Ver") + shortVersion},
        {L"ProductVersion", longVersion},
        {L"LegalCopyright", L"Copyright (C) 2026 Belavo developers"},
        {L"OriginalFilename", L"Belavo.exe"},
    };
    for (const auto& [key, expected] : strings) {
        const auto* value = static_cast<const wchar_t*>(query(L"\\StringFileInfo\\041104B0\\" + std::wstring(key)));
        EXPECT_EQ(value ? value : L"<missing>", expected) << key;
    }
}

}  // namespace
}  // namespace belavo::test
