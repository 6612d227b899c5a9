// backfill's exports held against kernel32's own functions, for the test under Wine:
//
//     BackfillProbe BACKFILL_DLL checks   every export but the stubs, in the working folder
//     BackfillProbe BACKFILL_DLL stubs    the twelve stubs, whose boxes a watchdog closes
//     BackfillProbe exit N                ends with code N (the child of the process checks)
//
// Prints each failed check; the exit code is the number of failures.
#include <cpuid.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "tests/windows/programs/probe_check.h"

#include <winioctl.h>

namespace {

HMODULE g_backfill = nullptr;
#define BF(name) Export<decltype(&::name)>(g_backfill, #name)

using CodePointerFunction = PVOID(WINAPI*)(PVOID);
using RandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);

HANDLE Create(const char* name, DWORD disposition = CREATE_ALWAYS) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void WriteText(const char* name, const char* text) {
    HANDLE file = Create(name);
    DWORD written = 0;
    WriteFile(file, text, (DWORD)std::strlen(text), &written, nullptr);
    CloseHandle(file);
}

std::string ReadText(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[256];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

// 64-bit positions: a sparse file of 4 GiB + 1 bytes, and one of exactly 0xFFFFFFFF bytes whose
// size's low part looks like the failure value.
void CheckLargeFiles() {
    g_group = "large files";
    const auto setPointer = BF(SetFilePointerEx);
    const auto getSize = BF(GetFileSizeEx);
    const auto write = BF(WriteFile);
    const auto read = BF(ReadFile);
    HANDLE file = Create("sparse.bin");
    CHECK(file != INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER distance, position;
    distance.QuadPart = 0x100000000LL;
    SetLastError(1234);
    CHECK(setPointer(file, distance, &position, FILE_BEGIN));
    CHECK_EQ(position.QuadPart, 0x100000000LL);
    CHECK_EQ(GetLastError(), 1234);  // success leaves the caller's last error
    DWORD moved = 0;
    CHECK(write(file, "Z", 1, &moved, nullptr));
    CHECK_EQ(moved, 1);
    LARGE_INTEGER size, kernelSize;
    CHECK(getSize(file, &size));
    CHECK(GetFileSizeEx(file, &kernelSize));
    CHECK_EQ(size.QuadPart, 0x100000001LL);
    CHECK_EQ(size.QuadPart, kernelSize.QuadPart);
    distance.QuadPart = -2;
    CHECK(setPointer(file, distance, &position, FILE_END));
    CHECK_EQ(position.QuadPart, 0xFFFFFFFFLL);
    distance.QuadPart = -0x200000000LL;
    CHECK(!setPointer(file, distance, &position, FILE_CURRENT));
    CHECK_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CHECK(!SetFilePointerEx(file, distance, &position, FILE_CURRENT));

    // An overlapped record gives the offset of the transfer on a file opened without the flag.
    OVERLAPPED at{};
    at.Offset = 0;
    at.OffsetHigh = 1;
    char byte = 0;
    CHECK(read(file, &byte, 1, &moved, &at));
    CHECK_EQ(byte, 'Z');
    CHECK_EQ(moved, 1);
    at.Offset = 1;  // at the end: as kernel32 answers
    DWORD kernelMoved = 7;
    CHECK_EQ(read(file, &byte, 1, &moved, &at), ReadFile(file, &byte, 1, &kernelMoved, &at));
    CHECK_EQ(moved, kernelMoved);
    CloseHandle(file);

    file = Create("edge.bin");
    distance.QuadPart = 0xFFFFFFFELL;
    CHECK(setPointer(file, distance, nullptr, FILE_BEGIN));
    CHECK(write(file, "E", 1, &moved, nullptr));
    SetLastError(77);  // a stale error must not make this size a failure
    CHECK(getSize(file, &size));
    CHECK_EQ(size.QuadPart, 0xFFFFFFFFLL);
    CHECK_EQ(GetLastError(), 77);
    CHECK(!getSize(INVALID_HANDLE_VALUE, &size));
    CHECK(!getSize(file, nullptr));
    CloseHandle(file);

    WIN32_FIND_DATAA a, kernelA;
    HANDLE find = BF(FindFirstFileExA)("sparse.bin", FindExInfoStandard, &a, FindExSearchNameMatch, nullptr, 0);
    CHECK(find != INVALID_HANDLE_VALUE);
    FindClose(find);
    FindClose(FindFirstFileA("sparse.bin", &kernelA));
    CHECK_EQ(a.nFileSizeHigh, 1);
    CHECK_EQ(a.nFileSizeLow, 1);
    CHECK(std::strcmp(a.cFileName, kernelA.cFileName) == 0);
    WIN32_FIND_DATAW w;
    find = BF(FindFirstFileExW)(L"edge.bin", FindExInfoStandard, &w, FindExSearchNameMatch, nullptr, 0);
    CHECK(find != INVALID_HANDLE_VALUE);
    FindClose(find);
    CHECK(lstrcmpW(w.cFileName, L"edge.bin") == 0);
    CHECK_EQ(w.nFileSizeLow, 0xFFFFFFFFu);
    find = BF(FindFirstFileExA)("missing*.none", FindExInfoStandard, &a, FindExSearchNameMatch, nullptr, 0);
    CHECK(find == INVALID_HANDLE_VALUE);
    CHECK_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    DeleteFileA("sparse.bin");
    DeleteFileA("edge.bin");
}

void CheckFiles() {
    g_group = "files";
    const auto create = BF(CreateFileA);
    // Specific rights become generic ones; appending alone still writes.
    HANDLE file = create("rights.txt", FILE_READ_DATA | FILE_WRITE_DATA | SYNCHRONIZE, FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    CHECK(WriteFile(file, "abc", 3, &moved, nullptr));
    CloseHandle(file);
    file = create("rights.txt", FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    SetFilePointer(file, 0, nullptr, FILE_END);
    CHECK(WriteFile(file, "d", 1, &moved, nullptr));
    CloseHandle(file);
    CHECK(ReadText("rights.txt") == "abcd");
    file = create("rights.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    file = create("missing/x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    CHECK(file == INVALID_HANDLE_VALUE);
    CHECK_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    const auto copy = BF(CopyFileExA);
    WriteText("target.txt", "old");
    CHECK(!copy("rights.txt", "target.txt", nullptr, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS));
    CHECK_EQ(GetLastError(), ERROR_FILE_EXISTS);
    CHECK(ReadText("target.txt") == "old");
    CHECK(copy("rights.txt", "target.txt", nullptr, nullptr, nullptr, 0));
    CHECK(ReadText("target.txt") == "abcd");

    const auto move = BF(MoveFileExA);
    WriteText("from.txt", "moved");
    CHECK(!move("from.txt", "target.txt", 0));
    CHECK(move("from.txt", "target.txt", MOVEFILE_REPLACE_EXISTING));
    CHECK(ReadText("target.txt") == "moved");
    CHECK_EQ(GetFileAttributesA("from.txt"), INVALID_FILE_ATTRIBUTES);
    CHECK(move("target.txt", "renamed.txt", 0));
    CHECK(ReadText("renamed.txt") == "moved");

    // Delayed moves are recorded as given, although the new name does not exist yet.
    WritePrivateProfileStringA("rename", nullptr, nullptr, "wininit.ini");
    CHECK(move("C:\\later\\old file.txt", "C:\\later\\not yet there.txt", MOVEFILE_DELAY_UNTIL_REBOOT));
    CHECK(move("C:\\later\\gone.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    char section[512] = {};
    const DWORD length = GetPrivateProfileSectionA("rename", section, sizeof section, "wininit.ini");
    const std::string expected =
        std::string("C:\\later\\not yet there.txt=C:\\later\\old file.txt") + '\0' + "NUL=C:\\later\\gone.txt" + '\0';
    CHECK(std::string(section, length) == expected);
    if (std::string(section, length) != expected) std::printf("  section: %.*s\n", (int)length, section);
    // A section that would outgrow its buffer is refused.
    std::string full;
    for (int i = 0; full.size() < 0x7FD0; ++i) full += "C:\\k" + std::to_string(i) + "=C:\\value\\of\\some\\length" + '\0';
    full += '\0';
    WritePrivateProfileSectionA("rename", full.c_str(), "wininit.ini");
    CHECK(!move("C:\\a-rather-long-name-that-will-not-fit.txt", "C:\\and-another-one-that-will-not.txt",
                MOVEFILE_DELAY_UNTIL_REBOOT));
    CHECK_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
    WritePrivateProfileStringA("rename", nullptr, nullptr, "wininit.ini");

    // Prefixes 1, 2, 3, 4, 0, 1 for successive calls without one; a given prefix is kept.
    const auto tempName = BF(GetTempFileNameA);
    char ours[MAX_PATH], theirs[MAX_PATH];
    for (const char digit : {'1', '2', '3', '4', '0', '1'}) {
        CHECK_EQ(tempName("C:\\windows", nullptr, 0x1234, ours), 0x1234);
        const char prefix[2] = {digit, 0};
        GetTempFileNameA("C:\\windows", prefix, 0x1234, theirs);
        CHECK(std::strcmp(ours, theirs) == 0);
        if (std::strcmp(ours, theirs) != 0) std::printf("  %s against %s\n", ours, theirs);
    }
    CHECK(tempName("C:\\windows", "abc", 0x2A, ours) != 0);
    GetTempFileNameA("C:\\windows", "abc", 0x2A, theirs);
    CHECK(std::strcmp(ours, theirs) == 0);
    CHECK(tempName(nullptr, "pre", 0x10, ours) != 0);
    GetTempFileNameA("\\", "pre", 0x10, theirs);
    CHECK(std::strcmp(ours, theirs) == 0);
    CHECK(tempName(".", "new", 0, ours) != 0);  // unique 0: a new file is made
    CHECK(GetFileAttributesA(ours) != INVALID_FILE_ATTRIBUTES);
    DeleteFileA(ours);

    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0, kSectors = 0, kBytes = 0, kFree = 0, kClusters = 0;
    CHECK(BF(GetDiskFreeSpaceA)("C:", &sectors, &bytes, &freeClusters, &clusters));
    CHECK(GetDiskFreeSpaceA("C:\\", &kSectors, &kBytes, &kFree, &kClusters));
    CHECK_EQ(sectors, kSectors);
    CHECK_EQ(bytes, kBytes);
    CHECK_EQ(clusters, kClusters);
    ULARGE_INTEGER available, total, totalFree, kAvailable, kTotal, kTotalFree;
    CHECK(BF(GetDiskFreeSpaceExA)("C:\\", &available, &total, &totalFree));
    CHECK(GetDiskFreeSpaceExA("C:\\", &kAvailable, &kTotal, &kTotalFree));
    CHECK_EQ(total.QuadPart, kTotal.QuadPart);
    CHECK(BF(GetDiskFreeSpaceExA)("C:\\", nullptr, &total, nullptr));
    CHECK(!BF(GetDiskFreeSpaceExA)("Q:\\no\\such\\drive\\", &available, &total, &totalFree));
    DeleteFileA("rights.txt");
    DeleteFileA("renamed.txt");
}

void CheckModulesAndProcesses(const char* self) {
    g_group = "modules";
    const auto exA = BF(GetModuleHandleExA);
    const auto exW = BF(GetModuleHandleExW);
    HMODULE module = reinterpret_cast<HMODULE>(1);
    CHECK(exA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, "kernel32.dll", &module));
    CHECK(module == GetModuleHandleA("kernel32.dll"));
    CHECK(exW(0, L"kernel32.dll", &module));
    CHECK(module == GetModuleHandleA("kernel32.dll"));
    CHECK(exA(0, nullptr, &module));
    CHECK(module == GetModuleHandleA(nullptr));
    const LPCSTR inside = reinterpret_cast<LPCSTR>(GetProcAddress(g_backfill, "IsDebuggerPresent"));
    CHECK(exA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, inside, &module));
    CHECK(module == g_backfill);
    CHECK(exW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(inside), &module));
    CHECK(module == g_backfill);
    FreeLibrary(module);  // the reference the call above added
    CHECK(!exA(0, "no-such-module.dll", &module));
    CHECK(module == nullptr);
    CHECK(!exA(0, "kernel32.dll", nullptr));
    CHECK_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    const auto processId = BF(GetProcessId);
    CHECK_EQ(processId(GetCurrentProcess()), GetCurrentProcessId());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    std::string command = std::string("\"") + self + "\" exit 3";
    CHECK(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    CHECK_EQ(processId(child.hProcess), child.dwProcessId);
    WaitForSingleObject(child.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    CHECK_EQ(code, 3);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);

    g_group = "memory";
    MEMORYSTATUSEX status{}, kernel{};
    status.dwLength = 60;
    CHECK(!BF(GlobalMemoryStatusEx)(&status));
    CHECK_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    status.dwLength = kernel.dwLength = sizeof status;
    CHECK(BF(GlobalMemoryStatusEx)(&status));
    CHECK(GlobalMemoryStatusEx(&kernel));
    CHECK_EQ(status.ullTotalPhys, kernel.ullTotalPhys);
    CHECK(status.dwMemoryLoad <= 100);
    CHECK_EQ(status.ullAvailExtendedVirtual, 0);

    void* block = BF(VirtualAllocEx)(GetCurrentProcess(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    CHECK(block != nullptr);
    if (block != nullptr) static_cast<char*>(block)[4095] = 1;
    CHECK(BF(VirtualFreeEx)(GetCurrentProcess(), block, 0, MEM_RELEASE));

    CRITICAL_SECTION section;
    CHECK(BF(InitializeCriticalSectionAndSpinCount)(&section, 4000));
    EnterCriticalSection(&section);
    CHECK(TryEnterCriticalSection(&section));
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    DeleteCriticalSection(&section);
}

void CheckPointersAndProcessor() {
    g_group = "pointers";
    const auto encode = Export<CodePointerFunction>(g_backfill, "EncodePointer");
    const auto decode = Export<CodePointerFunction>(g_backfill, "DecodePointer");
    const auto encodeSystem = Export<CodePointerFunction>(g_backfill, "EncodeSystemPointer");
    const auto decodeSystem = Export<CodePointerFunction>(g_backfill, "DecodeSystemPointer");
    const ULONG_PTR cookie = reinterpret_cast<ULONG_PTR>(encode(nullptr));
    CHECK_EQ(cookie & 0xC0000000u, 0xC0000000u);
    CHECK_EQ(cookie >> 32, 0);
    int local = 0;
    for (void* p : {static_cast<void*>(&local), reinterpret_cast<void*>(~ULONG_PTR{0}), static_cast<void*>(nullptr)}) {
        CHECK(decode(encode(p)) == p);
        CHECK(decodeSystem(encodeSystem(p)) == p);
        CHECK(decodeSystem(encode(p)) == p);
    }
    CHECK(encode(&g_failures) != static_cast<void*>(&g_failures));
    CHECK_EQ(reinterpret_cast<ULONG_PTR>(encode(nullptr)), cookie);

    const auto random = Export<RandomFunction>(g_backfill, "SystemFunction036");
    unsigned char bytes[64] = {};
    CHECK(!random(nullptr, 8));
    CHECK(!random(bytes, 0));
    CHECK(random(bytes, sizeof bytes));
    int distinct = 0;
    for (unsigned char b : bytes) distinct += b != bytes[0];
    CHECK(distinct > 0);

    g_group = "processor";
    CHECK(!BF(IsDebuggerPresent)());
    BOOL wow = TRUE;
    CHECK(BF(IsWow64Process)(GetCurrentProcess(), &wow));
    CHECK(!wow);
    CHECK(!BF(IsWow64Process)(GetCurrentProcess(), nullptr));
    // The feature table against the processor's own answers.
    unsigned a, b, c, d, vendor[3];
    __cpuid(0, a, vendor[0], vendor[2], vendor[1]);
    bool expected[17] = {};
    __cpuid(1, a, b, c, d);
    expected[PF_FLOATING_POINT_EMULATED] = !(d & 1);
    expected[PF_RDTSC_INSTRUCTION_AVAILABLE] = d & (1u << 4);
    expected[PF_COMPARE_EXCHANGE_DOUBLE] = d & (1u << 8);
    expected[PF_MMX_INSTRUCTIONS_AVAILABLE] = d & (1u << 23);
    expected[PF_XMMI_INSTRUCTIONS_AVAILABLE] = d & (1u << 25);
    expected[PF_XMMI64_INSTRUCTIONS_AVAILABLE] = d & (1u << 26);
    expected[PF_SSE3_INSTRUCTIONS_AVAILABLE] = c & 1u;
    if (std::memcmp(vendor, "AuthenticAMD", 12) == 0) {
        __cpuid(0x80000000u, a, b, c, d);
        if (a >= 0x80000001u) {
            __cpuid(0x80000001u, a, b, c, d);
            expected[PF_3DNOW_INSTRUCTIONS_AVAILABLE] = d >> 31;
        }
    }
    const auto feature = BF(IsProcessorFeaturePresent);
    for (DWORD f = 0; f < 17; ++f) {
        if (!feature(f) != !expected[f]) Fail(__LINE__, "IsProcessorFeaturePresent", f, expected[f]);
    }
    CHECK(!feature(17));
    CHECK(!feature(0xFFFFFFFF));
    CHECK(feature(PF_XMMI64_INSTRUCTIONS_AVAILABLE));  // every x86-64 processor has SSE2

    g_group = "lists";
    alignas(16) SLIST_HEADER head;
    std::memset(&head, 0xFF, sizeof head);
    BF(InitializeSListHead)(&head);
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&head);
    int nonZero = 0;
    for (size_t i = 0; i < sizeof head; ++i) nonZero += raw[i] != 0;
    CHECK_EQ(nonZero, 0);
    const auto depth = BF(QueryDepthSList);
    CHECK_EQ(depth(&head), 0);
    alignas(16) SLIST_ENTRY entries[3];
    for (SLIST_ENTRY& entry : entries) InterlockedPushEntrySList(&head, &entry);
    CHECK_EQ(depth(&head), 3);
    CHECK_EQ(depth(&head), QueryDepthSList(&head));
    InterlockedPopEntrySList(&head);
    CHECK_EQ(depth(&head), 2);
}

// ---- Stubs ----

struct Box {
    std::string caption, text;
};
std::vector<Box> g_boxes;
volatile LONG g_stopWatchdog = 0;

BOOL CALLBACK CloseBoxes(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (process != GetCurrentProcessId() || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    char caption[128] = {}, text[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's static text
    static HWND last = nullptr;
    if (window != last) g_boxes.push_back({caption, text});
    last = window;
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Closes every message box of the process as soon as it shows, so that no run waits for a person.
DWORD WINAPI Watchdog(void*) {
    while (g_stopWatchdog == 0) {
        EnumWindows(CloseBoxes, 0);
        Sleep(20);
    }
    return 0;
}

void CheckStubs() {
    g_group = "stubs";
    HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    CHECK_EQ(BF(CreateHardLinkA)("a", "b", nullptr), 1);
    CHECK_EQ(BF(CreateHardLinkW)(L"a", L"b", nullptr), 1);
    DWORD size = 0;
    CHECK_EQ(BF(GetComputerNameExA)(ComputerNameDnsHostname, nullptr, &size), 1);
    CHECK_EQ(BF(GetComputerNameExW)(ComputerNameDnsHostname, nullptr, &size), 1);
    IO_COUNTERS counters;
    CHECK_EQ(BF(GetProcessIoCounters)(GetCurrentProcess(), &counters), 1);
    CHECK_EQ(BF(HeapSetInformation)(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0), 1);
    CHECK_EQ(BF(IsValidLanguageGroup)(1, 1), 0);
    CHECK_EQ(BF(ReplaceFileA)("a", "b", nullptr, 0, nullptr, nullptr), 1);
    CHECK_EQ(BF(ReplaceFileW)(L"a", L"b", nullptr, 0, nullptr, nullptr), 1);
    void* frames[4];
    CHECK_EQ(BF(RtlCaptureStackBackTrace)(0, 4, frames, nullptr), 1);
    CHECK_EQ(BF(SetDllDirectoryA)("."), 1);
    CHECK_EQ(BF(SetDllDirectoryW)(L"."), 1);
    InterlockedExchange(&g_stopWatchdog, 1);
    WaitForSingleObject(watchdog, 10000);
    CloseHandle(watchdog);
    const char* texts[] = {"CreateHardLinkA not supported", "CreateHardLinkW not supported",
                           "GetComputerNameExA not implemented", "GetComputerNameExW not implemented",
                           "GetProcessIoCounters not implemented", "HeapSetInformation not implemented",
                           "IsValidLanguageGroup not implemented, returning FALSE", "ReplaceFileA not implemented",
                           "ReplaceFileW not implemented", "RtlCaptureStackBackTrace not implemented",
                           "SetDllDirectoryA not implemented", "SetDllDirectoryW not implemented"};
    CHECK_EQ(g_boxes.size(), 12);
    for (size_t i = 0; i < g_boxes.size() && i < 12; ++i) {
        if (g_boxes[i].caption != "backfill CommonUnimpStub" || g_boxes[i].text != texts[i]) {
            ++g_failures;
            std::printf("FAIL stubs: box %zu is \"%s\": \"%s\"\n", i, g_boxes[i].caption.c_str(),
                        g_boxes[i].text.c_str());
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
    if (argc != 3) {
        std::printf("usage: BackfillProbe BACKFILL_DLL checks|stubs | BackfillProbe exit N\n");
        return 100;
    }
    g_backfill = LoadNamed(argv[1]);
    if (g_backfill == nullptr) return 100;
    if (std::strcmp(argv[2], "stubs") == 0) {
        CheckStubs();
    } else {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        CheckLargeFiles();
        CheckFiles();
        CheckModulesAndProcesses(self);
        CheckPointersAndProcessor();
    }
    std::printf("%d failures\n", g_failures);
    std::fflush(stdout);
    return g_failures;
}
