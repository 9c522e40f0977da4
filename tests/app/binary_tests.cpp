// What a user's Windows reads from Belavo.exe before and without running it:
// the DLLs it needs, the protections it asks for and the version in Properties.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "ui_driver.hpp"

namespace belavo::test {
namespace {

// The built exe mapped as an image, its imports left unresolved.
struct ExeImage {
    const HMODULE module = LoadLibraryExW(belavoExe().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ~ExeImage() { FreeLibrary(module); }
    template <class T>
    const T* at(DWORD rva) const { return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva); }
    const IMAGE_NT_HEADERS64& headers() const { return *at<IMAGE_NT_HEADERS64>(at<IMAGE_DOS_HEADER>(0)->e_lfanew); }
    const IMAGE_DATA_DIRECTORY& directory(int entry) const { return headers().OptionalHeader.DataDirectory[entry]; }
    // The data of the debug directory entry of that type, if there is one.
    const DWORD* debugData(DWORD type) const {
        const IMAGE_DATA_DIRECTORY& debug = directory(IMAGE_DIRECTORY_ENTRY_DEBUG);
        const auto* entries = at<IMAGE_DEBUG_DIRECTORY>(debug.VirtualAddress);
        for (DWORD i = 0; i < debug.Size / sizeof *entries; ++i) {
            if (entries[i].Type == type) return at<DWORD>(entries[i].AddressOfRawData);
        }
        return nullptr;
    }
};

// The static link leaves only DLLs that every Windows has in System32, so a
// DLL lying beside the exe in a Downloads folder is never needed.
TEST(BinaryTest, ImportsOnlySystemDllsAndAsksForTheProtections) {
    const ExeImage exe;
    ASSERT_TRUE(exe.module);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",  "shell32.dll", "advapi32.dll",
                                          "comctl32.dll", "imm32.dll", "ole32.dll", "msvcrt.dll", "ucrtbase.dll"};
    auto* entry = exe.at<IMAGE_IMPORT_DESCRIPTOR>(exe.directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
    ASSERT_TRUE(entry->Name);
    for (; entry->Name; ++entry) {
        std::string name = exe.at<char>(entry->Name);
        CharLowerA(name.data());
        EXPECT_TRUE(system.count(name) || name.starts_with("api-ms-win-")) << name;
    }
    const IMAGE_NT_HEADERS64& headers = exe.headers();
    EXPECT_EQ(headers.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << "a window program, no console";
    // /Brepro writes a hash of the contents where the link time would go and a debug entry of type 16.
    EXPECT_TRUE(headers.FileHeader.TimeDateStamp == 0 || exe.debugData(16)) << "no link time";
    const std::pair<const char*, WORD> flags[] = {
        {"ASLR", IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE},
        {"high-entropy ASLR", IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA},
        {"no-execute data", IMAGE_DLLCHARACTERISTICS_NX_COMPAT},
#ifdef _MSC_VER  // MinGW's linker has no Control Flow Guard nor CET marking
        {"Control Flow Guard", IMAGE_DLLCHARACTERISTICS_GUARD_CF},
#endif
    };
    for (const auto& [what, flag] : flags) EXPECT_EQ(headers.OptionalHeader.DllCharacteristics & flag, flag) << what;
#ifdef _MSC_VER
    const DWORD* extended = exe.debugData(20);  // the extended DLL characteristics, bit 0 CET compatible
    EXPECT_TRUE(extended && (*extended & 1)) << "CET shadow stack compatible";
#endif
}

// Properties shows the version text and the language of the version block.
TEST(BinaryTest, PropertiesShowTheProjectVersion) {
    constexpr WORD version[] = {BELAVO_PROJECT_VERSION};  // major, minor, build, revision
    const std::wstring exe = belavoExe();
    std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    EXPECT_EQ(*static_cast<const DWORD*>(value), MAKELONG(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 1200));  // UTF-16
    wchar_t expected[32];
    std::swprintf(expected, 32, L"%u.%02u.%04u", version[0], version[1], version[3]);
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104B0\\ProductVersion", &value, &length));
    EXPECT_STREQ(static_cast<const wchar_t*>(value), expected);
}

}  // namespace
}  // namespace belavo::test
