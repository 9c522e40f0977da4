// What Windows reads from the built Belavo.exe without running it: the version
// block, the icon, and the DLLs it needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "ui_driver.hpp"

namespace belavo::test {
namespace {

std::vector<BYTE> versionBlock() {
    const std::wstring exe = belavoExe();
    std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    if (block.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        return {};
    }
    return block;
}

std::wstring versionString(std::vector<BYTE>& block, const std::wstring& key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\041104B0\\" + key;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(BinaryTest, VersionBlockCarriesTheIdentity) {
    std::vector<BYTE> block = versionBlock();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(8, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(8, 0));
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileDescription", L"Belavo"}, {L"ProductName", L"Belavo Ver1.3"}, {L"FileVersion", L"1.03.0008"},
        {L"ProductVersion", L"1.03.0008"}, {L"InternalName", L"Belavo"}, {L"OriginalFilename", L"Belavo.exe"},
    };
    for (const auto& [key, value] : strings) EXPECT_EQ(versionString(block, key), value) << key;
    EXPECT_NE(versionString(block, L"LegalCopyright"), L"<missing>");

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(LOWORD(*translation), 0x0411);
    EXPECT_EQ(HIWORD(*translation), 0x04B0);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

class ExeImage {
public:
    ExeImage() : module_(LoadLibraryExW(belavoExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ExeImage() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

TEST(BinaryTest, IconGroupOneHoldsOne32By32SixteenColourImage) {
    ExeImage exe;
    ASSERT_NE(exe.get(), nullptr);
    HRSRC groupResource = FindResourceW(exe.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(groupResource, nullptr);
    const auto* group = static_cast<const GroupIconHeader*>(LockResource(LoadResource(exe.get(), groupResource)));
    ASSERT_EQ(group->count, 1);
    const GroupIconEntry& entry = group->entries[0];
    EXPECT_EQ(entry.id, 30001);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);
    EXPECT_EQ(entry.bitCount, 4);
    EXPECT_EQ(entry.bytesInResource, 744u);

    HRSRC image = FindResourceExW(exe.get(), RT_ICON, MAKEINTRESOURCEW(30001), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(SizeofResource(exe.get(), image), 744u);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(exe.get(), image)));
    EXPECT_EQ(header->biWidth, 32);
    EXPECT_EQ(header->biHeight, 64);  // image and mask
    EXPECT_EQ(header->biBitCount, 4);
}

// The static link leaves only DLLs that every Windows has.
TEST(BinaryTest, ImportsOnlySystemDlls) {
    const HMODULE image = LoadLibraryExW(belavoExe().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    const auto base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    EXPECT_TRUE(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
    EXPECT_TRUE(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
    EXPECT_TRUE(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll",
                                           "comctl32.dll", "imm32.dll", "msvcrt.dll", "ucrtbase.dll"};
    std::vector<std::string> imported;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        imported.push_back(name);
    }
    FreeLibrary(image);
    ASSERT_FALSE(imported.empty());
    for (const std::string& name : imported) {
        const bool system = allowed.count(name) || name.rfind("api-ms-win-", 0) == 0;
        EXPECT_TRUE(system) << name;
    }
}

}  // namespace
}  // namespace belavo::test
