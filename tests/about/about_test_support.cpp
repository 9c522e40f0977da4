#include "about_test_support.hpp"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "about_dialog.hpp"
#include "about_dialog_ids.hpp"
#include "ui_driver.hpp"

namespace belavo::test {
namespace {

constexpr wchar_t kOwnerClass[] = L"BelavoAboutTestOwner";
constexpr wchar_t kRecorderLogVariable[] = L"BELAVO_RECORDER_LOG";

std::wstring wideFromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::wstring temporaryPath(const std::wstring& name) {
    return (std::filesystem::temp_directory_path() / (name + std::to_wstring(GetCurrentProcessId()))).wstring();
}

}  // namespace

OwnerWindow::OwnerWindow() {
    const WNDCLASSW windowClass{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                                GetSysColorBrush(COLOR_WINDOW), nullptr, kOwnerClass};
    RegisterClassW(&windowClass);
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
        const DWORD self = GetCurrentProcessId();
        waitUntil([&] { return returned || (dialog = findWindowOf(self, ui::about::kAboutDialogClass)); }, 10000);
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
    for (HWND child = nullptr; (child = FindWindowExW(window, child, className, nullptr));)
        if (IsWindowVisible(child)) found.push_back(child);
    return found;
}

std::wstring recorderProgram() {
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\about_recorder.exe";
}

RecorderLog::RecorderLog() {
    static int serial = 0;
    path_ = temporaryPath(L"belavo-recorder-") + L"-" + std::to_wstring(++serial) + L".log";
    DeleteFileW(path_.c_str());
    SetEnvironmentVariableW(kRecorderLogVariable, path_.c_str());
}

RecorderLog::~RecorderLog() {
    SetEnvironmentVariableW(kRecorderLogVariable, nullptr);
    DeleteFileW(path_.c_str());
}

// One line a start, its fields separated by tabs; a line without its end is still being written.
std::vector<Start> RecorderLog::starts() const {
    std::vector<Start> starts;
    std::ifstream log(std::filesystem::path(path_), std::ios::binary);
    for (std::string line; std::getline(log, line) && !log.eof();) {
        std::istringstream in(line);
        std::vector<std::wstring> f;
        for (std::string field; std::getline(in, field, '\t');) f.push_back(wideFromUtf8(field));
        if (f.size() == 4) starts.push_back({f[0], f[1], f[2], std::stoi(f[3])});
    }
    return starts;
}

bool RecorderLog::waitForStarts(size_t count, DWORD timeoutMs) const {
    return waitUntil([&] { return starts().size() >= count; }, timeoutMs);
}

RegistryValueBackup::RegistryValueBackup(HKEY root, std::wstring keyName, std::wstring valueName)
    : root_(root), keyName_(std::move(keyName)), valueName_(std::move(valueName)) {
    HKEY key = nullptr;
    DWORD size = 0;
    keyExisted_ = RegOpenKeyExW(root_, keyName_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    valueExisted_ = keyExisted_ && RegQueryValueExW(key, valueName_.c_str(), nullptr, &type_, nullptr, &size) == 0;
    data_.resize(size);
    if (valueExisted_) RegQueryValueExW(key, valueName_.c_str(), nullptr, &type_, data_.data(), &size);
    if (key) RegCloseKey(key);
}

RegistryValueBackup::~RegistryValueBackup() {
    if (valueExisted_) set(type_, data_.data(), static_cast<DWORD>(data_.size()));
    else remove();
    if (!keyExisted_) RegDeleteKeyW(root_, keyName_.c_str());
}

// Creates the key when it is missing.
void RegistryValueBackup::set(DWORD type, const void* data, DWORD size) {
    RegSetKeyValueW(root_, keyName_.c_str(), valueName_.c_str(), type, data, size);
}

void RegistryValueBackup::setText(const std::wstring& text) {
    set(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistryValueBackup::remove() { RegDeleteKeyValueW(root_, keyName_.c_str(), valueName_.c_str()); }

TemporaryPath::~TemporaryPath() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring uniqueTemporaryFolder(const std::wstring& name) {
    const std::wstring folder = temporaryPath(L"belavo-about-") + L"-" + name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

}  // namespace belavo::test
