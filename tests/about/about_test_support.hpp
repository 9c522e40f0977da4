#pragma once
// Helpers for the About dialog's tests: the dialog opened in this process
// with a helper thread at its controls, a recording program that stands in
// for the programs the dialog starts, and registry values and files that are
// put back as they were.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace belavo::test {

// A plain visible top-level window that opens the dialog, as the main window does.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND hwnd() const noexcept { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Opens the About dialog over `owner` on this thread while `drive` works on
// it from a helper thread. Returns when the dialog has been closed (by
// `drive`, or with WM_CLOSE afterwards); false when no dialog appeared.
bool runDialog(HWND owner, const std::function<void(HWND dialog)>& drive);

// Visible child windows of `window` with that class.
std::vector<HWND> visibleChildren(HWND window, const wchar_t* className);

// Every start of the recording program while this object lives: its path,
// command line, first argument and requested window style.
struct Start {
    std::wstring program, commandLine, argument;
    int show;
};

class RecorderLog {
public:
    RecorderLog();
    ~RecorderLog();
    RecorderLog(const RecorderLog&) = delete;
    RecorderLog& operator=(const RecorderLog&) = delete;

    std::vector<Start> starts() const;
    // Waits until at least `count` starts were recorded.
    bool waitForStarts(size_t count, DWORD timeoutMs = 10000) const;

private:
    std::wstring path_;
};

// The recording program built beside the test program.
std::wstring recorderProgram();

// Restores one registry value when it goes: its old data, or its absence
// (and the absence of its key, when the key had to be created).
class RegistryValueBackup {
public:
    RegistryValueBackup(HKEY root, std::wstring keyName, std::wstring valueName);
    ~RegistryValueBackup();
    RegistryValueBackup(const RegistryValueBackup&) = delete;
    RegistryValueBackup& operator=(const RegistryValueBackup&) = delete;

    void set(DWORD type, const void* data, DWORD size);
    void setText(const std::wstring& text);
    void remove();

private:
    HKEY root_;
    std::wstring keyName_, valueName_;
    bool keyExisted_ = false, valueExisted_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

// A file or folder that is removed (with its contents) when this object goes.
class TemporaryPath {
public:
    explicit TemporaryPath(std::wstring path) : path_(std::move(path)) {}
    ~TemporaryPath();
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;
    const std::wstring& path() const noexcept { return path_; }

private:
    std::wstring path_;
};

// A new empty folder under the temporary folder, unique to this run.
std::wstring uniqueTemporaryFolder(const std::wstring& name);

bool sameFile(const std::wstring& a, const std::wstring& b);

}  // namespace belavo::test
