// Start-up time and footprint of Belavo.exe against the bare window.
//
//   startup_bench <Belavo.exe> <bare_window.exe> [starts per program, default 30]
//
// Each start runs from CreateProcess until the program's main window exists,
// is visible and answers (WaitForInputIdle, then FindWindow by class for the
// process, then a WM_NULL round trip). The peak working set is read at that
// moment; then WM_CLOSE ends the program and the driver waits for its exit.
// The two programs start alternately, so that both see the same load. Then
// the size of Belavo.exe and the DLLs its import table names.
// Figures only: nothing here fails on timing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "measure.hpp"

namespace {

using belavo::bench::nowMs;
using belavo::bench::summarize;

// A Linux path is taken as one on Wine's Z: drive.
std::wstring windowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::string narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring fileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

struct Program {
    std::wstring path;
    const wchar_t* windowClass;
    std::vector<double> startMs;
    std::vector<double> peakWorkingSetKiB;
};

// One start, measured and recorded when `record`; false if the program did not come up or go away.
bool startOnce(Program& program, bool record) {
    const belavo::bench::StartFigures figures = belavo::bench::measureStart(program.path, program.windowClass);
    if (figures.failure) {
        std::fprintf(stderr, "%s: %s\n", narrow(fileName(program.path)).c_str(), figures.failure);
        return false;
    }
    if (record) {
        program.startMs.push_back(figures.readyMs);
        program.peakWorkingSetKiB.push_back(figures.peakWorkingSetKiB);
    }
    return true;
}

struct PeFacts {
    bool valid = false;
    unsigned long long bytes = 0;
    bool symbols = false;           // a COFF symbol table is present: not stripped
    bool delayImports = false;
    std::vector<std::pair<std::string, int>> imports;  // DLL, number of functions
};

// Reads the file's headers and import table (PE32+ only).
PeFacts readPe(const std::wstring& path) {
    PeFacts facts;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return facts;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(file);
    if (!ok) return facts;
    facts.bytes = bytes.size();

    auto at = [&](std::size_t offset, std::size_t length) -> const unsigned char* {
        return offset <= bytes.size() && length <= bytes.size() - offset ? bytes.data() + offset : nullptr;
    };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return facts;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)));
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        return facts;
    }
    facts.symbols = nt->FileHeader.PointerToSymbolTable != 0 || nt->FileHeader.NumberOfSymbols != 0;

    const std::size_t sectionsAt = static_cast<std::size_t>(dos->e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                   nt->FileHeader.SizeOfOptionalHeader;
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(sectionsAt, nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
    if (!sections) return facts;
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            const DWORD extent = s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + extent) return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return static_cast<std::size_t>(-1);
    };

    auto textAt = [&](std::size_t offset) -> std::string {
        if (offset >= bytes.size()) return "?";
        const char* text = reinterpret_cast<const char*>(bytes.data() + offset);
        return std::string(text, strnlen(text, bytes.size() - offset));
    };

    const IMAGE_DATA_DIRECTORY* directories = nt->OptionalHeader.DataDirectory;
    facts.delayImports = directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size != 0;
    std::size_t entry = offsetOf(directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    while (const auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(entry, sizeof(IMAGE_IMPORT_DESCRIPTOR)))) {
        if (import->Name == 0) break;
        int functions = 0;
        std::size_t thunk = offsetOf(import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk);
        while (const auto* value = reinterpret_cast<const ULONGLONG*>(at(thunk, sizeof(ULONGLONG)))) {
            if (*value == 0) break;
            ++functions;
            thunk += sizeof(ULONGLONG);
        }
        facts.imports.emplace_back(textAt(offsetOf(import->Name)), functions);
        entry += sizeof(IMAGE_IMPORT_DESCRIPTOR);
    }
    facts.valid = true;
    return facts;
}

void printTimes(const Program& program) {
    const auto s = summarize(program.startMs);
    std::printf("  %-16s %8.1f %8.1f %8.1f %8.1f\n", narrow(fileName(program.path)).c_str(), s.median, s.min, s.max,
                s.spread());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int starts = argc > 3 ? _wtoi(argv[3]) : 30;
    if (argc < 3 || starts < 1) {
        std::fprintf(stderr, "usage: startup_bench <Belavo.exe> <bare_window.exe> [starts, default 30]\n");
        return 2;
    }
    constexpr int kWarmUps = 2;
    Program belavo{windowsPath(argv[1]), L"BelavoForm1", {}, {}};
    Program bare{windowsPath(argv[2]), L"BelavoBenchBare", {}, {}};

    const char* wine = belavo::bench::wineVersion();
    std::printf("Start-up: %d starts of each program, alternating, after %d unrecorded starts each%s%s\n", starts,
                kWarmUps, wine ? "; under Wine " : "", wine ? wine : "");
    std::printf("(CreateProcess until the main window is visible and answers WM_NULL; ms)\n");
    for (int i = 0; i < kWarmUps + starts; ++i) {
        const bool record = i >= kWarmUps;
        if (!startOnce(belavo, record) || !startOnce(bare, record)) return 1;
    }
    std::printf("  %-16s %8s %8s %8s %8s\n", "", "median", "min", "max", "spread");
    printTimes(belavo);
    printTimes(bare);
    const double timeRatio = summarize(belavo.startMs).median / summarize(bare.startMs).median;
    std::printf("  ratio Belavo/bare of the medians: %.2f (target <= 1.10: %s)\n", timeRatio,
                timeRatio <= 1.10 ? "met" : "missed");

    const auto belavoSet = summarize(belavo.peakWorkingSetKiB);
    const auto bareSet = summarize(bare.peakWorkingSetKiB);
    std::printf("\nPeak working set after start-up (PeakWorkingSetSize, median of the starts; KiB)\n");
    std::printf("  %-16s %8.0f (min %.0f, max %.0f)\n", narrow(fileName(belavo.path)).c_str(), belavoSet.median,
                belavoSet.min, belavoSet.max);
    std::printf("  %-16s %8.0f (min %.0f, max %.0f)\n", narrow(fileName(bare.path)).c_str(), bareSet.median,
                bareSet.min, bareSet.max);
    const double setRatio = belavoSet.median / bareSet.median;
    std::printf("  ratio Belavo/bare: %.2f (target <= 1.2: %s)\n", setRatio, setRatio <= 1.2 ? "met" : "missed");

    std::printf("\nFiles\n");
    for (const Program* program : {&belavo, &bare}) {
        const PeFacts pe = readPe(program->path);
        if (!pe.valid) {
            std::printf("  %s: not a readable PE32+ file\n", narrow(program->path).c_str());
            return 1;
        }
        std::printf("  %-16s %llu bytes (%.1f KiB), %s\n", narrow(fileName(program->path)).c_str(), pe.bytes,
                    static_cast<double>(pe.bytes) / 1024.0,
                    pe.symbols ? "with a symbol table (not stripped)" : "stripped (no symbol table)");
        if (program == &belavo) {
            std::printf("    target <= 400 KiB stripped: %s\n",
                        !pe.symbols && pe.bytes <= 400 * 1024 ? "met" : (pe.symbols ? "not stripped" : "missed"));
        }
        std::printf("    imports from %zu DLLs%s:", pe.imports.size(), pe.delayImports ? " (and delay-loaded ones)" : "");
        for (const auto& [dll, functions] : pe.imports) std::printf(" %s (%d)", dll.c_str(), functions);
        std::printf("\n");
    }
    return 0;
}
