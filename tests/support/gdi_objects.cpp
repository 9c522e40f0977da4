#include "gdi_objects.hpp"

#include <winternl.h>

#include <vector>

namespace belavo::test {

// GetGuiResources counts them on Windows but reads 0 under Wine, which keeps each process's GDI handle table in
// the process itself (PEB->GdiSharedHandleTable): 0x10000 entries of 24 bytes, a live one with a type byte at 14.
int liveGdiObjects(DWORD processId) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    int count = static_cast<int>(GetGuiResources(process, GR_GDIOBJECTS));
    PROCESS_BASIC_INFORMATION basic{};
    const void* table = nullptr;
    if (count == 0 && NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + 0xF8, &table, sizeof table,
                          nullptr)) {
        std::vector<unsigned char> entries(0x10000 * 24);
        ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr);
        for (std::size_t entry = 0; entry < 0x10000; ++entry) count += entries[entry * 24 + 14] != 0;
    }
    CloseHandle(process);
    return count;
}

}  // namespace belavo::test
