// backfill: kernel functions that older Windows versions lack, rebuilt from the older ones, so that
// one program file runs on old and new systems. Only kernel32 and user32 are imported; there is no
// C runtime (the entry point is BackfillEntry). Exports get their public names in backfill.def.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <cpuid.h>

#include "compat/backfill/random_bytes.h"

#define kFeatureCount 17
#define kShortPath 260
#define kRenameSection 0x7FFF
#define kNeedsAllocationFlag 0x8000000u  // the old family's shared-arena allocation type
#define kSpecificRightsKept 0xF0010100u  // generic rights, DELETE, FILE_WRITE_ATTRIBUTES

static HANDLE g_heap;
static volatile LONG g_cookie;
static BackfillRandom g_random;
static BOOL g_randomSeeded;
static BYTE g_features[kFeatureCount];
static UINT g_ansiCharSize = 2;
static int g_tempPrefix;

static void Fatal(const char* text) {
    MessageBoxA(NULL, text, "backfill error", MB_ICONERROR);
    ExitProcess(1);
}

static void ReadProcessorFeatures(void) {
    unsigned vendor[3], a, b, c, d;
    const unsigned highest = __get_cpuid_max(0, &vendor[0]);
    if (highest == 0) return;  // no cpuid: every feature stays absent
    __cpuid(0, a, vendor[0], vendor[2], vendor[1]);
    if (highest >= 1) {
        __cpuid(1, a, b, c, d);
        g_features[PF_FLOATING_POINT_EMULATED] = !(d & 1u);
        g_features[PF_RDTSC_INSTRUCTION_AVAILABLE] = (d >> 4) & 1u;
        g_features[PF_COMPARE_EXCHANGE_DOUBLE] = (d >> 8) & 1u;
        g_features[PF_MMX_INSTRUCTIONS_AVAILABLE] = (d >> 23) & 1u;
        g_features[PF_XMMI_INSTRUCTIONS_AVAILABLE] = (d >> 25) & 1u;
        g_features[PF_XMMI64_INSTRUCTIONS_AVAILABLE] = (d >> 26) & 1u;
        g_features[PF_SSE3_INSTRUCTIONS_AVAILABLE] = c & 1u;
    }
    // "AuthenticAMD" as the registers hold it: EBX, EDX, ECX.
    if (vendor[0] == 0x68747541u && vendor[1] == 0x69746E65u && vendor[2] == 0x444D4163u) {
        __cpuid(0x80000000u, a, b, c, d);
        if (a >= 0x80000001u) {
            __cpuid(0x80000001u, a, b, c, d);
            g_features[PF_3DNOW_INSTRUCTIONS_AVAILABLE] = (d >> 31) & 1u;
        }
    }
}

BOOL WINAPI BackfillEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_heap = HeapCreate(0, 0, 0);
        if (g_heap == NULL) Fatal("Could not create local heap");
        CPINFO info;
        g_ansiCharSize = GetCPInfo(CP_ACP, &info) ? info.MaxCharSize : 2;
        ReadProcessorFeatures();
    } else if (reason == DLL_PROCESS_DETACH && reserved == NULL) {
        // Unloaded by FreeLibrary; at process end the heap goes with the process.
        if (!HeapDestroy(g_heap)) Fatal("Could not destroy local heap");
    }
    return TRUE;
}

// ---- Files ----

BOOL WINAPI BackfillCopyFileExA(LPCSTR existing, LPCSTR target, LPPROGRESS_ROUTINE progress, LPVOID data,
                                LPBOOL cancel, DWORD flags) {
    (void)progress, (void)data, (void)cancel;
    return CopyFileA(existing, target, (flags & COPY_FILE_FAIL_IF_EXISTS) != 0);
}

HANDLE WINAPI BackfillCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE templateFile) {
    (void)templateFile;
    if (access & ~kSpecificRightsKept) {
        DWORD generic = access & kSpecificRightsKept;
        if (access & FILE_READ_DATA) generic |= GENERIC_READ;
        // Appending is writing: a handle asked for FILE_APPEND_DATA alone must still write.
        if (access & (FILE_WRITE_DATA | FILE_APPEND_DATA)) generic |= GENERIC_WRITE;
        if (access & FILE_EXECUTE) generic |= GENERIC_EXECUTE;
        access = generic;
    }
    share &= ~(DWORD)FILE_SHARE_DELETE;
    if (flags & FILE_FLAG_OVERLAPPED) {
        const DWORD previous = GetLastError();
        HANDLE file = CreateFileA(name, access, share, security, disposition, flags, NULL);
        if (file != INVALID_HANDLE_VALUE) return file;
        SetLastError(previous);
        flags &= ~(DWORD)FILE_FLAG_OVERLAPPED;
    }
    return CreateFileA(name, access, share, security, disposition, flags, NULL);
}

static void DriveRoot(char root[4], char letter) {
    root[0] = letter, root[1] = ':', root[2] = '\\', root[3] = 0;
}

BOOL WINAPI BackfillGetDiskFreeSpaceA(LPCSTR path, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                      LPDWORD freeClusters, LPDWORD totalClusters) {
    char root[4];
    if (path != NULL && path[0] != 0 && path[1] == ':' && path[2] == 0) {
        DriveRoot(root, path[0]);
        path = root;
    }
    if (GetDiskFreeSpaceA(path, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters)) return TRUE;
    char shortPath[kShortPath];
    const DWORD length = path != NULL ? GetShortPathNameA(path, shortPath, kShortPath) : 0;
    if (length == 0 || length >= kShortPath) return FALSE;
    DriveRoot(root, shortPath[0]);
    return GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

typedef BOOL(WINAPI* DiskFreeSpaceExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

BOOL WINAPI BackfillGetDiskFreeSpaceExA(LPCSTR path, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER total,
                                        PULARGE_INTEGER totalFree) {
    const DiskFreeSpaceExA system =
        (DiskFreeSpaceExA)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA");
    if (system != NULL) {
        if (system(path, freeToCaller, total, totalFree)) return TRUE;
        char shortPath[kShortPath];
        const DWORD length = path != NULL ? GetShortPathNameA(path, shortPath, kShortPath) : 0;
        if (length == 0 || length >= kShortPath) return FALSE;
        return system(shortPath, freeToCaller, total, totalFree);
    }
    DWORD sectors, bytes, freeClusters, clusters;
    if (!BackfillGetDiskFreeSpaceA(path, &sectors, &bytes, &freeClusters, &clusters)) return FALSE;
    if (freeToCaller != NULL) freeToCaller->QuadPart = BackfillClusterBytes(sectors, bytes, freeClusters);
    if (totalFree != NULL) totalFree->QuadPart = BackfillClusterBytes(sectors, bytes, freeClusters);
    if (total != NULL) total->QuadPart = BackfillClusterBytes(sectors, bytes, clusters);
    return TRUE;
}

UINT WINAPI BackfillGetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR name) {
    char digit[2];
    if (path == NULL) path = "\\";
    if (prefix == NULL) {
        g_tempPrefix = (g_tempPrefix + 1) % 5;
        digit[0] = (char)('0' + g_tempPrefix), digit[1] = 0;
        prefix = digit;
    }
    return GetTempFileNameA(path, prefix, unique, name);
}

// Systems that cannot transfer overlapped on this kind of handle refuse with
// ERROR_INVALID_PARAMETER: the transfer is then done at once at the record's offset, and the record
// and its event are left as a completed overlapped transfer would leave them.
static BOOL Transfer(BOOL write, HANDLE file, void* buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped) {
    const DWORD previous = GetLastError();
    const BOOL ok = write ? WriteFile(file, buffer, count, done, overlapped)
                          : ReadFile(file, buffer, count, done, overlapped);
    if (ok) return TRUE;
    if (GetLastError() != ERROR_INVALID_PARAMETER || overlapped == NULL) return FALSE;
    SetLastError(previous);
    LONG high = (LONG)overlapped->OffsetHigh;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, (LONG)overlapped->Offset, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return FALSE;
    SetLastError(previous);
    if (overlapped->hEvent != NULL) ResetEvent(overlapped->hEvent);
    overlapped->Internal = STATUS_PENDING;
    overlapped->InternalHigh = 0;
    DWORD moved = 0;
    const BOOL result = write ? WriteFile(file, buffer, count, &moved, NULL) : ReadFile(file, buffer, count, &moved, NULL);
    const DWORD error = GetLastError();
    overlapped->InternalHigh = moved;
    overlapped->Internal = 0;
    if (overlapped->hEvent != NULL) SetEvent(overlapped->hEvent);
    SetLastError(error);
    if (done != NULL) *done = moved;
    return result;
}

BOOL WINAPI BackfillReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped) {
    return Transfer(FALSE, file, buffer, count, done, overlapped);
}

BOOL WINAPI BackfillWriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD done, LPOVERLAPPED overlapped) {
    return Transfer(TRUE, file, (void*)buffer, count, done, overlapped);
}

HANDLE WINAPI BackfillFindFirstFileExA(LPCSTR name, FINDEX_INFO_LEVELS level, LPVOID data, FINDEX_SEARCH_OPS search,
                                       LPVOID filter, DWORD flags) {
    (void)level, (void)search, (void)filter, (void)flags;
    return FindFirstFileA(name, (LPWIN32_FIND_DATAA)data);
}

HANDLE WINAPI BackfillFindFirstFileExW(LPCWSTR name, FINDEX_INFO_LEVELS level, LPVOID data, FINDEX_SEARCH_OPS search,
                                       LPVOID filter, DWORD flags) {
    (void)level, (void)search, (void)filter, (void)flags;
    return FindFirstFileW(name, (LPWIN32_FIND_DATAW)data);
}

BOOL WINAPI BackfillGetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
    if (size == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD previous = GetLastError();
    // A stale error must not turn a size whose low part is all ones into a failure.
    SetLastError(NO_ERROR);
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FALSE;
    size->u.LowPart = low;
    size->u.HighPart = (LONG)high;
    SetLastError(previous);
    return TRUE;
}

BOOL WINAPI BackfillSetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method) {
    const DWORD previous = GetLastError();
    LONG high = distance.u.HighPart;
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(file, (LONG)distance.u.LowPart, &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (position != NULL) {
        position->u.LowPart = low;
        position->u.HighPart = high;
    }
    SetLastError(previous);
    return TRUE;
}

// Delayed moves go to the rename section of wininit.ini, one "new=old" line each, which the old
// family carries out at the next start. The names are recorded as given: the new name usually does
// not exist yet, so it has no short form to ask for.
static BOOL RecordDelayedMove(LPCSTR existing, LPCSTR target) {
    if (existing == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (target == NULL) target = "NUL";
    const DWORD existingLength = lstrlenA(existing), targetLength = lstrlenA(target);
    char* section = (char*)HeapAlloc(GetProcessHeap(), 0, kRenameSection);
    if (section == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    DWORD used = GetPrivateProfileSectionA("rename", section, kRenameSection, "wininit.ini");
    // A full buffer comes back as its size minus two: the section is already too long to extend.
    const BOOL full = used >= kRenameSection - 2;
    // The new line, its terminator and the section's closing terminator.
    if (full || used + targetLength + 1 + existingLength + 2 > kRenameSection) {
        HeapFree(GetProcessHeap(), 0, section);
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    char* line = section + used;
    lstrcpyA(line, target);
    line[targetLength] = '=';
    lstrcpyA(line + targetLength + 1, existing);
    line[targetLength + 1 + existingLength + 1] = 0;
    const BOOL written = WritePrivateProfileSectionA("rename", section, "wininit.ini");
    HeapFree(GetProcessHeap(), 0, section);
    return written;
}

BOOL WINAPI BackfillMoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags) {
    if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) return RecordDelayedMove(existing, target);
    if (MoveFileA(existing, target)) return TRUE;
    if (!(flags & (MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))) return FALSE;
    if (!CopyFileA(existing, target, !(flags & MOVEFILE_REPLACE_EXISTING))) return FALSE;
    SetLastError(NO_ERROR);
    DeleteFileA(existing);
    return TRUE;
}

// ---- Modules and processes ----

static BOOL ModuleHandleEx(DWORD flags, LPCSTR name, HMODULE* module) {
    if (module == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = NULL;
    HMODULE found = NULL;
    if (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(name, &info, sizeof info) != 0) found = (HMODULE)info.AllocationBase;
    } else {
        found = GetModuleHandleA(name);
    }
    char file[MAX_PATH];
    if (found == NULL) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (GetModuleFileNameA(found, file, MAX_PATH) == 0) return FALSE;
    if (!(flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)) LoadLibraryA(file);
    *module = found;
    return TRUE;
}

BOOL WINAPI BackfillGetModuleHandleExA(DWORD flags, LPCSTR name, HMODULE* module) {
    return ModuleHandleEx(flags, name, module);
}

BOOL WINAPI BackfillGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module) {
    if (name == NULL || (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS))
        return ModuleHandleEx(flags, (LPCSTR)name, module);
    // The old family's W functions are stubs: the name goes through the ANSI code page, with room
    // for every character taking the widest form plus the terminator.
    const int length = lstrlenW(name);
    const int size = length * (int)g_ansiCharSize + 1;
    char* ansi = (char*)HeapAlloc(g_heap, 0, size);
    if (ansi == NULL) {
        if (module != NULL) *module = NULL;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    const int converted = WideCharToMultiByte(CP_ACP, 0, name, length + 1, ansi, size, NULL, NULL);
    if (converted == 0) ansi[0] = 0;
    const BOOL result = ModuleHandleEx(flags, ansi, module);
    const DWORD error = GetLastError();
    HeapFree(g_heap, 0, ansi);
    SetLastError(error);
    return result;
}

typedef LONG(WINAPI* QueryProcessInformation)(HANDLE, int, void*, ULONG, ULONG*);

// The process id of a handle. The old family keeps it in a kernel32 routine of its own; here it is
// read from the process's basic information where the native layer offers it. Where neither is
// found the library cannot answer and stops, as documented.
DWORD WINAPI BackfillGetProcessId(HANDLE process) {
    if (process == GetCurrentProcess()) return GetCurrentProcessId();
    const QueryProcessInformation query =
        (QueryProcessInformation)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    if (query == NULL) Fatal("[Kernel32] GetProcessId: ASSERTION FAILED");
    struct {
        LONG_PTR exitStatus;
        void* environmentBlock;
        ULONG_PTR affinity;
        LONG_PTR priority;
        ULONG_PTR id;
        ULONG_PTR parent;
    } basic;
    ULONG length = 0;
    const LONG status = query(process, 0, &basic, sizeof basic, &length);
    if (status < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return (DWORD)basic.id;
}

BOOL WINAPI BackfillGlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
    if (status == NULL || status->dwLength != sizeof(MEMORYSTATUSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MEMORYSTATUS old;
    old.dwLength = sizeof old;
    GlobalMemoryStatus(&old);
    status->dwMemoryLoad = old.dwMemoryLoad;
    status->ullTotalPhys = old.dwTotalPhys;
    status->ullAvailPhys = old.dwAvailPhys;
    status->ullTotalPageFile = old.dwTotalPageFile;
    status->ullAvailPageFile = old.dwAvailPageFile;
    status->ullTotalVirtual = old.dwTotalVirtual;
    status->ullAvailVirtual = old.dwAvailVirtual;
    status->ullAvailExtendedVirtual = 0;
    return TRUE;
}

BOOL WINAPI BackfillInitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD spinCount) {
    (void)spinCount;
    InitializeCriticalSection(section);
    return TRUE;
}

// ---- Pointers, random bytes, processor ----

BOOLEAN WINAPI BackfillSystemFunction036(PVOID buffer, ULONG length) {
    if (buffer == NULL || length == 0) return FALSE;
    if (!g_randomSeeded) {
        g_random.mwcHigh = GetTickCount();
        g_random.mwcLow = GetCurrentThreadId();
        g_random.shift = GetCurrentProcessId();
        g_random.congruential = GetSysColor(COLOR_BACKGROUND);
        if (g_random.shift == 0) g_random.shift = 1;  // a xor-shift word of 0 stays 0 for ever
        g_randomSeeded = TRUE;
    }
    BYTE* bytes = (BYTE*)buffer;
    for (ULONG i = 0; i < length; ++i) bytes[i] = BackfillRandomByte(&g_random);
    return TRUE;
}

// Encoding and decoding are the same XOR with one cookie; concurrent first callers agree on the
// cookie through the compare-and-exchange.
PVOID WINAPI BackfillCodePointer(PVOID pointer) {
    if (g_cookie == 0) {
        DWORD fresh = 0;
        BackfillSystemFunction036(&fresh, sizeof fresh);
        __sync_val_compare_and_swap(&g_cookie, 0, (LONG)(fresh | 0xC0000000u));
    }
    return (PVOID)((ULONG_PTR)pointer ^ (ULONG_PTR)(DWORD)g_cookie);
}

BOOL WINAPI BackfillIsDebuggerPresent(void) { return FALSE; }

BOOL WINAPI BackfillIsWow64Process(HANDLE process, PBOOL wow64) {
    (void)process;
    if (wow64 == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *wow64 = FALSE;
    return TRUE;
}

BOOL WINAPI BackfillIsProcessorFeaturePresent(DWORD feature) {
    return feature < kFeatureCount ? g_features[feature] : FALSE;
}

// The header is two pointer-sized words on 32-bit targets and 16 bytes on 64-bit ones.
void WINAPI BackfillInitializeSListHead(PSLIST_HEADER head) {
    BYTE* bytes = (BYTE*)head;
    for (unsigned i = 0; i < sizeof(SLIST_HEADER); ++i) bytes[i] = 0;
}

USHORT WINAPI BackfillQueryDepthSList(PSLIST_HEADER head) {
#ifdef _WIN64
    return (USHORT)(head->Alignment & 0xFFFFu);  // the depth is the low 16 bits of the first word
#else
    return head->Depth;
#endif
}

// ---- Memory ----

LPVOID WINAPI BackfillVirtualAllocEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
    if (process != GetCurrentProcess()) type |= kNeedsAllocationFlag;
    return VirtualAlloc(address, size, type, protect);
}

BOOL WINAPI BackfillVirtualFreeEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type) {
    (void)process;
    return VirtualFree(address, size, type);
}

// ---- Stubs: the function is not available; the user is told, the caller gets the listed value ----

static void Unimplemented(const char* text) { MessageBoxA(NULL, text, "backfill CommonUnimpStub", MB_ICONERROR); }

BOOL WINAPI BackfillCreateHardLinkA(LPCSTR a, LPCSTR b, LPSECURITY_ATTRIBUTES c) {
    (void)a, (void)b, (void)c;
    Unimplemented("CreateHardLinkA not supported");
    return TRUE;
}
BOOL WINAPI BackfillCreateHardLinkW(LPCWSTR a, LPCWSTR b, LPSECURITY_ATTRIBUTES c) {
    (void)a, (void)b, (void)c;
    Unimplemented("CreateHardLinkW not supported");
    return TRUE;
}
BOOL WINAPI BackfillGetComputerNameExA(COMPUTER_NAME_FORMAT a, LPSTR b, LPDWORD c) {
    (void)a, (void)b, (void)c;
    Unimplemented("GetComputerNameExA not implemented");
    return TRUE;
}
BOOL WINAPI BackfillGetComputerNameExW(COMPUTER_NAME_FORMAT a, LPWSTR b, LPDWORD c) {
    (void)a, (void)b, (void)c;
    Unimplemented("GetComputerNameExW not implemented");
    return TRUE;
}
BOOL WINAPI BackfillGetProcessIoCounters(HANDLE a, PIO_COUNTERS b) {
    (void)a, (void)b;
    Unimplemented("GetProcessIoCounters not implemented");
    return TRUE;
}
BOOL WINAPI BackfillHeapSetInformation(HANDLE a, HEAP_INFORMATION_CLASS b, PVOID c, SIZE_T d) {
    (void)a, (void)b, (void)c, (void)d;
    Unimplemented("HeapSetInformation not implemented");
    return TRUE;
}
BOOL WINAPI BackfillIsValidLanguageGroup(LGRPID a, DWORD b) {
    (void)a, (void)b;
    Unimplemented("IsValidLanguageGroup not implemented, returning FALSE");
    return FALSE;
}
BOOL WINAPI BackfillReplaceFileA(LPCSTR a, LPCSTR b, LPCSTR c, DWORD d, LPVOID e, LPVOID f) {
    (void)a, (void)b, (void)c, (void)d, (void)e, (void)f;
    Unimplemented("ReplaceFileA not implemented");
    return TRUE;
}
BOOL WINAPI BackfillReplaceFileW(LPCWSTR a, LPCWSTR b, LPCWSTR c, DWORD d, LPVOID e, LPVOID f) {
    (void)a, (void)b, (void)c, (void)d, (void)e, (void)f;
    Unimplemented("ReplaceFileW not implemented");
    return TRUE;
}
USHORT WINAPI BackfillRtlCaptureStackBackTrace(ULONG a, ULONG b, PVOID* c, PULONG d) {
    (void)a, (void)b, (void)c, (void)d;
    Unimplemented("RtlCaptureStackBackTrace not implemented");
    return 1;
}
BOOL WINAPI BackfillSetDllDirectoryA(LPCSTR a) {
    (void)a;
    Unimplemented("SetDllDirectoryA not implemented");
    return TRUE;
}
BOOL WINAPI BackfillSetDllDirectoryW(LPCWSTR a) {
    (void)a;
    Unimplemented("SetDllDirectoryW not implemented");
    return TRUE;
}
