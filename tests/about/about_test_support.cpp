#include "about_test_support.hpp"

#include <atomic>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

constexpr wchar_t kOwnerClass[] = L"BelavoAboutTestOwner";
constexpr wchar_t kRecorderLogVariable[] = L"BELAVO_RECORDER_LOG";

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
        parts.push_back(text.substr(start, end - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

void removeTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") removeTree(path + L"\\" + name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

bool fileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return ok;
}

}  // namespace

OwnerWindow::OwnerWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassExW(&windowClass);
    hwnd_ = CreateWindowExW(0, kOwnerClass, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 140, 90, 560, 440, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    bringToFront(hwnd_);
}

OwnerWindow::~OwnerWindow() { DestroyWindow(hwnd_); }

bool runDialog(HWND owner, const std::function<void(HWND dialog)>& drive) {
    std::atomic<bool> returned{false};
    bool appeared = false;
    std::thread helper([&] {
        HWND dialog = nullptr;
        waitUntil([&] { return returned || (dialog = findWindowOf(GetCurrentProcessId(), ui::about::kAboutDialogClass)); },
                  10000);
        if (!dialog) return;
        appeared = true;
        Sleep(100);  // the dialog takes the focus right after it appears
        drive(dialog);
        if (IsWindow(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    ui::showAboutDialog(owner);
    returned = true;
    helper.join();
    return appeared;
}

std::vector<HWND> visibleChildren(HWND window, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64]{};
        GetClassNameW(child, name, 64);
        if (IsWindowVisible(child) && lstrcmpiW(name, className) == 0) found.push_back(child);
    }
    return found;
}

std::wstring recorderProgram() {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\about_recorder.exe";
}

RecorderLog::RecorderLog() {
    static int serial = 0;
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"belavo-recorder-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++serial) + L".log";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(kRecorderLogVariable, path_.c_str());
}

RecorderLog::~RecorderLog() {
    SetEnvironmentVariableW(kRecorderLogVariable, nullptr);
    DeleteFileW(path_.c_str());
}

std::vector<Start> RecorderLog::starts() const {
    std::vector<Start> starts;
    const HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return starts;
    std::string content(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    content.resize(read);
    std::vector<std::string> lines = split(content, '\n');
    lines.pop_back();  // empty, or a line still being written
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = split(line, '\t');
        if (fields.size() != 4) continue;
        starts.push_back({wideFromUtf8(fields[0]), wideFromUtf8(fields[1]), wideFromUtf8(fields[2]),
                          std::stoi(fields[3])});
    }
    return starts;
}

bool RecorderLog::waitForStarts(size_t count, DWORD timeoutMs) const {
    return waitUntil([&] { return starts().size() >= count; }, timeoutMs);
}

RegistryValueBackup::RegistryValueBackup(HKEY root, std::wstring keyName, std::wstring valueName)
    : root_(root), keyName_(std::move(keyName)), valueName_(std::move(valueName)) {
    HKEY key = nullptr;
    keyExisted_ = RegOpenKeyExW(root_, keyName_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!keyExisted_) return;
    DWORD size = 0;
    valueExisted_ = RegQueryValueExW(key, valueName_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    if (valueExisted_) {
        data_.resize(size);
        RegQueryValueExW(key, valueName_.c_str(), nullptr, &type_, data_.data(), &size);
    }
    RegCloseKey(key);
}

RegistryValueBackup::~RegistryValueBackup() {
    if (valueExisted_) {
        set(type_, data_.data(), static_cast<DWORD>(data_.size()));
        return;
    }
    remove();
    if (!keyExisted_) RegDeleteKeyW(root_, keyName_.c_str());
}

void RegistryValueBackup::set(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, keyName_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, valueName_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void RegistryValueBackup::setText(const std::wstring& text) {
    set(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistryValueBackup::remove() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, keyName_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, valueName_.c_str());
    RegCloseKey(key);
}

TemporaryPath::~TemporaryPath() { removeTree(path_); }

std::wstring uniqueTemporaryFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"belavo-about-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    removeTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return fileIdentity(a, first) && fileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace belavo::test
