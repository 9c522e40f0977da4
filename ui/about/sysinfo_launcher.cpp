// The system information button: the viewer's place is read from the
// registry (the full path first, else its folder), and the viewer is started
// as a program of its own.
#include <array>
#include <cctype>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "about_dialog.hpp"
#include "app_identity.hpp"
#include "text.hpp"

namespace belavo::ui {
namespace {

constexpr char kViewerPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kViewerPathValue[] = "PATH";
constexpr char kViewerFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char kViewerFolderValue[] = "MSINFO";
constexpr char kViewerFileName[] = "\\MSINFO32.EXE";
constexpr wchar_t kCannotOpen[] = L"ｼｽﾃﾑ情報をｵｰﾌﾟﾝ出来ませんでした";
constexpr DWORD kLargestValue = 1024;  // bytes; a larger value counts as absent

// The text of a string value: only the bytes the registry returned, up to
// the first terminator if there is one.
std::string textOf(const char* data, DWORD size) {
    const std::string_view bytes(data, size);
    return std::string(bytes.substr(0, bytes.find('\0')));
}

DWORD numberOf(const char* data, DWORD size) {
    DWORD number = 0;
    std::memcpy(&number, data, size < sizeof number ? size : sizeof number);
    return number;
}

// True when `pattern` matches a plain file: folders, hidden and system files do not count.
bool plainFileExists(const std::string& pattern) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(win32::fromAnsi(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    bool plain = false;
    do {
        plain = (found.dwFileAttributes & kNotPlain) == 0;
    } while (!plain && FindNextFileW(search, &found));
    FindClose(search);
    return plain;
}

// A registry text as a path that names one place whatever the current folder:
// one pair of surrounding double quotes taken away, then only what Windows
// calls fully qualified: a drive, a colon and a separator (C:\... or C:/...),
// or two separators (\\server\share\...); dot segments do not change the
// place. Anything else gives "": "MSINFO32.EXE", "C:MSINFO32.EXE" and
// "\Tools\MSINFO32.EXE" would run a file from Belavo's current folder or drive.
std::string fullyQualified(std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    const auto separatorAt = [&](std::size_t i) {
        return path.size() > i && (path[i] == '\\' || path[i] == '/');
    };
    const bool drive = separatorAt(2) && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    const bool unc = separatorAt(0) && separatorAt(1);
    return drive || unc ? path : std::string{};
}

// The path the first place names, as it stands; else the viewer file in the
// folder the second place names, if it is there; else "".
std::string viewerPath() {
    std::string path;
    if (AboutDialog::GetKeyValue(HKEY_LOCAL_MACHINE, kViewerPathKey, kViewerPathValue, path)) {
        return fullyQualified(path);
    }
    if (!AboutDialog::GetKeyValue(HKEY_LOCAL_MACHINE, kViewerFolderKey, kViewerFolderValue, path)) return {};
    path = fullyQualified(path);
    if (path.empty()) return {};
    path += kViewerFileName;
    return plainFileExists(path) ? path : std::string{};
}

// Starts the program at `path` without waiting for it. The path is the
// program to run, never a command line to be split at its spaces.
bool startProgram(const std::wstring& path) {
    if (path.empty()) return false;
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

void AboutDialog::StartSysInfo() {
    bool started = false;
    try {
        started = startProgram(win32::fromAnsi(viewerPath()));
    } catch (...) {
        // A value that cannot be read as text fails like any other step.
    }
    if (!started) MessageBoxW(hwnd_, kCannotOpen, std::wstring(kAppIdentity.title).c_str(), MB_OK);
}

bool AboutDialog::GetKeyValue(HKEY root, const std::string& keyName, const std::string& valueName,
                              std::string& keyVal) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    const win32::UniqueKey key(opened);
    std::array<char, kLargestValue> data{};
    DWORD type = 0, size = kLargestValue;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    // An empty value is an error of the caller's, not an absent value: it
    // does not make the launcher look in the second place.
    if (size == 0) throw std::invalid_argument("the registry value holds no data");
    switch (type) {
    case REG_SZ: keyVal = textOf(data.data(), size); break;
    case REG_DWORD: keyVal = std::to_string(numberOf(data.data(), size)); break;
    default: break;  // other kinds of value leave the text as it was
    }
    return true;
}

}  // namespace belavo::ui
