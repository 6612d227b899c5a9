// widebridge: the wide-character kernel functions the program imports. On the NT family every
// export hands its arguments to kernel32's own W function; on the older family, whose W functions
// are stubs, it converts to the ANSI code page, calls the A function and converts the results back.
// Only kernel32 and user32 are imported; there is no C runtime (entry point WidebridgeEntry).
// Exports get their plain Win32 names in widebridge.def.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "compat/widebridge/text_convert.h"

// backfill spells its exports with the standard-call decoration on 32-bit targets.
#ifdef _WIN64
#define BACKFILL_NAME(name, bytes) name
#else
#define BACKFILL_NAME(name, bytes) "_" name "@" #bytes
#endif

#define kFieldChars 260
#define kAtomBytes 255
#define kComputerNameChars 15

static HANDLE g_heap;
static BOOL g_passThrough;

static void Fatal(const char* text) {
    MessageBoxA(NULL, text, "widebridge API error", MB_ICONERROR);
    ExitProcess(2);
}

BOOL WINAPI WidebridgeEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_heap = HeapCreate(0, 0, 0);
        if (g_heap == NULL) Fatal("Could not create local heap");
#ifdef SPARREL_WIDEBRIDGE_CONVERTING
        g_passThrough = FALSE;  // the test build that runs the converting mode on an NT-family system
#else
        g_passThrough = (GetVersion() & 0x80000000u) == 0;
#endif
    } else if (reason == DLL_PROCESS_DETACH && reserved == NULL) {
        if (!HeapDestroy(g_heap)) Fatal("Could not destroy local heap");
    }
    return TRUE;
}

// ---- Conversion helpers ----

static void* Allocate(SIZE_T bytes) {
    void* memory = HeapAlloc(g_heap, 0, bytes);
    if (memory == NULL) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

// Frees without disturbing the last-error value the caller is about to report.
static void Free(void* memory) {
    if (memory == NULL) return;
    const DWORD error = GetLastError();
    HeapFree(g_heap, 0, memory);
    SetLastError(error);
}

// The ANSI form of a string argument into *ansi. Null stays null, an empty string and an integer
// identifier (atoms, resources: below 0x10000) are passed as they are. FALSE when no memory.
static BOOL Narrow(LPCWSTR text, char** ansi) {
    if (IS_INTRESOURCE(text) || text[0] == 0) {
        *ansi = (char*)text;
        return TRUE;
    }
    const int length = lstrlenW(text);
    const int bytes = WidebridgeAnsiBytes(length);
    *ansi = (char*)Allocate(bytes);
    if (*ansi == NULL) return FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, *ansi, bytes, NULL, NULL) == 0) (*ansi)[0] = 0;
    return TRUE;
}

static void Release(char* ansi, LPCWSTR text) {
    if (ansi != (char*)text) Free(ansi);
}

// Two string arguments: both converted, or neither (and FALSE).
static BOOL Narrow2(LPCWSTR first, char** a, LPCWSTR second, char** b) {
    if (!Narrow(first, a)) return FALSE;
    if (Narrow(second, b)) return TRUE;
    Release(*a, first);
    return FALSE;
}

// The wide form of an ANSI result into the caller's buffer of `capacity` characters: the length
// without the terminator when it fits, else the size needed including it and the buffer untouched
// (also for a size query with a null buffer).
static DWORD Widen(const char* ansi, LPWSTR out, DWORD capacity) {
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi, -1, NULL, 0);
    if (needed <= 0) return 0;
    if (out == NULL || capacity < (DWORD)needed) return (DWORD)needed;
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, out, needed);
    return (DWORD)(needed - 1);
}

// Converts into a fixed field of `capacity` characters, cutting and terminating what does not fit.
static void WidenField(const char* ansi, LPWSTR field, int capacity) {
    if (MultiByteToWideChar(CP_ACP, 0, ansi, -1, field, capacity) == 0) field[capacity - 1] = 0;
    if (ansi[0] == 0) field[0] = 0;
}

// An A function that reports the size it needs (terminator included) when given too little room.
typedef DWORD (*AnsiOutput)(const void* context, char* buffer, DWORD size);

// Asks the A function for its size, fills an ANSI buffer of that size and converts the result.
static DWORD OutputString(AnsiOutput call, const void* context, LPWSTR out, DWORD capacity) {
    DWORD size = call(context, NULL, 0);
    for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
        char* ansi = (char*)Allocate(size + 1);
        if (ansi == NULL) return 0;
        const DWORD got = call(context, ansi, size + 1);
        if (got == 0) {
            Free(ansi);
            return 0;
        }
        if (got <= size) {  // filled (a result that grew in between asks again)
            ansi[got] = 0;
            const DWORD result = Widen(ansi, out, capacity);
            Free(ansi);
            return result;
        }
        Free(ansi);
        size = got;
    }
    return 0;
}

// ---- Run-time lookups: kernel32 first, then backfill ----

static FARPROC Lookup(const char* name, const char* backfillName) {
    FARPROC function = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    if (function == NULL) {
        HMODULE backfill = GetModuleHandleA("backfill.dll");
        if (backfill != NULL) function = GetProcAddress(backfill, backfillName);
    }
    return function;
}

static FARPROC g_diskFreeSpaceEx, g_moduleHandleEx, g_openWaitableTimer, g_systemWindowsDirectory;
static BOOL g_systemWindowsDirectoryKnown;

static FARPROC Cached(FARPROC* cache, const char* name, const char* backfillName) {
    if (*cache == NULL) *cache = Lookup(name, backfillName);
    if (*cache == NULL) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return *cache;
}

// ---- Input strings only ----

#define NARROW_OR(text, ansi, failure) \
    char* ansi;                        \
    if (!Narrow(text, &ansi)) return failure
#define NARROW2_OR(first, a, second, b, failure) \
    char *a, *b;                                 \
    if (!Narrow2(first, &a, second, &b)) return failure

ATOM WINAPI BridgeAddAtomW(LPCWSTR name) {
    if (g_passThrough) return AddAtomW(name);
    NARROW_OR(name, a, 0);
    const ATOM result = AddAtomA(a);
    Release(a, name);
    return result;
}

BOOL WINAPI BridgeCopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists) {
    if (g_passThrough) return CopyFileW(existing, target, failIfExists);
    NARROW2_OR(existing, a, target, b, FALSE);
    const BOOL result = CopyFileA(a, b, failIfExists);
    Release(a, existing), Release(b, target);
    return result;
}

BOOL WINAPI BridgeCreateDirectoryExW(LPCWSTR templateDirectory, LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
    if (g_passThrough) return CreateDirectoryExW(templateDirectory, path, security);
    NARROW2_OR(templateDirectory, a, path, b, FALSE);
    const BOOL result = CreateDirectoryExA(a, b, security);
    Release(a, templateDirectory), Release(b, path);
    return result;
}

BOOL WINAPI BridgeCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
    if (g_passThrough) return CreateDirectoryW(path, security);
    NARROW_OR(path, a, FALSE);
    const BOOL result = CreateDirectoryA(a, security);
    Release(a, path);
    return result;
}

HANDLE WINAPI BridgeCreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    if (g_passThrough) return CreateEventW(security, manualReset, initialState, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = CreateEventA(security, manualReset, initialState, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeCreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect, DWORD sizeHigh,
                                       DWORD sizeLow, LPCWSTR name) {
    if (g_passThrough) return CreateFileMappingW(file, security, protect, sizeHigh, sizeLow, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = CreateFileMappingA(file, security, protect, sizeHigh, sizeLow, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile) {
    if (g_passThrough) return CreateFileW(name, access, share, security, disposition, flags, templateFile);
    NARROW_OR(name, a, INVALID_HANDLE_VALUE);
    const HANDLE result = CreateFileA(a, access, share, security, disposition, flags, templateFile);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeCreateMailslotW(LPCWSTR name, DWORD maxMessage, DWORD timeout, LPSECURITY_ATTRIBUTES security) {
    if (g_passThrough) return CreateMailslotW(name, maxMessage, timeout, security);
    NARROW_OR(name, a, INVALID_HANDLE_VALUE);
    const HANDLE result = CreateMailslotA(a, maxMessage, timeout, security);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeCreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCWSTR name) {
    if (g_passThrough) return CreateMutexW(security, initialOwner, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = CreateMutexA(security, initialOwner, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
    if (g_passThrough) return CreateSemaphoreW(security, initial, maximum, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = CreateSemaphoreA(security, initial, maximum, a);
    Release(a, name);
    return result;
}

BOOL WINAPI BridgeDeleteFileW(LPCWSTR name) {
    if (g_passThrough) return DeleteFileW(name);
    NARROW_OR(name, a, FALSE);
    const BOOL result = DeleteFileA(a);
    Release(a, name);
    return result;
}

void WINAPI BridgeFatalAppExitW(UINT action, LPCWSTR message) {
    if (g_passThrough) {
        FatalAppExitW(action, message);
        return;
    }
    char* a;
    if (!Narrow(message, &a)) a = (char*)"";
    FatalAppExitA(action, a);
    Release(a, message);
}

ATOM WINAPI BridgeFindAtomW(LPCWSTR name) {
    if (g_passThrough) return FindAtomW(name);
    NARROW_OR(name, a, 0);
    const ATOM result = FindAtomA(a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeFindFirstChangeNotificationW(LPCWSTR path, BOOL subtree, DWORD filter) {
    if (g_passThrough) return FindFirstChangeNotificationW(path, subtree, filter);
    NARROW_OR(path, a, INVALID_HANDLE_VALUE);
    const HANDLE result = FindFirstChangeNotificationA(a, subtree, filter);
    Release(a, path);
    return result;
}

BOOL WINAPI BridgeGetDiskFreeSpaceW(LPCWSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                    LPDWORD freeClusters, LPDWORD totalClusters) {
    if (g_passThrough) return GetDiskFreeSpaceW(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
    NARROW_OR(root, a, FALSE);
    const BOOL result = GetDiskFreeSpaceA(a, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
    Release(a, root);
    return result;
}

UINT WINAPI BridgeGetDriveTypeW(LPCWSTR root) {
    if (g_passThrough) return GetDriveTypeW(root);
    NARROW_OR(root, a, DRIVE_UNKNOWN);
    const UINT result = GetDriveTypeA(a);
    Release(a, root);
    return result;
}

DWORD WINAPI BridgeGetFileAttributesW(LPCWSTR name) {
    if (g_passThrough) return GetFileAttributesW(name);
    NARROW_OR(name, a, INVALID_FILE_ATTRIBUTES);
    const DWORD result = GetFileAttributesA(a);
    Release(a, name);
    return result;
}

HMODULE WINAPI BridgeGetModuleHandleW(LPCWSTR name) {
    if (g_passThrough) return GetModuleHandleW(name);
    NARROW_OR(name, a, NULL);
    const HMODULE result = GetModuleHandleA(a);
    Release(a, name);
    return result;
}

ATOM WINAPI BridgeGlobalAddAtomW(LPCWSTR name) {
    if (g_passThrough) return GlobalAddAtomW(name);
    NARROW_OR(name, a, 0);
    const ATOM result = GlobalAddAtomA(a);
    Release(a, name);
    return result;
}

ATOM WINAPI BridgeGlobalFindAtomW(LPCWSTR name) {
    if (g_passThrough) return GlobalFindAtomW(name);
    NARROW_OR(name, a, 0);
    const ATOM result = GlobalFindAtomA(a);
    Release(a, name);
    return result;
}

HMODULE WINAPI BridgeLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) {
    if (g_passThrough) return LoadLibraryExW(name, file, flags);
    NARROW_OR(name, a, NULL);
    const HMODULE result = LoadLibraryExA(a, file, flags);
    Release(a, name);
    return result;
}

HMODULE WINAPI BridgeLoadLibraryW(LPCWSTR name) {
    if (g_passThrough) return LoadLibraryW(name);
    NARROW_OR(name, a, NULL);
    const HMODULE result = LoadLibraryA(a);
    Release(a, name);
    return result;
}

BOOL WINAPI BridgeMoveFileW(LPCWSTR existing, LPCWSTR target) {
    if (g_passThrough) return MoveFileW(existing, target);
    NARROW2_OR(existing, a, target, b, FALSE);
    const BOOL result = MoveFileA(a, b);
    Release(a, existing), Release(b, target);
    return result;
}

HANDLE WINAPI BridgeOpenEventW(DWORD access, BOOL inherit, LPCWSTR name) {
    if (g_passThrough) return OpenEventW(access, inherit, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = OpenEventA(access, inherit, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeOpenFileMappingW(DWORD access, BOOL inherit, LPCWSTR name) {
    if (g_passThrough) return OpenFileMappingW(access, inherit, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = OpenFileMappingA(access, inherit, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeOpenMutexW(DWORD access, BOOL inherit, LPCWSTR name) {
    if (g_passThrough) return OpenMutexW(access, inherit, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = OpenMutexA(access, inherit, a);
    Release(a, name);
    return result;
}

HANDLE WINAPI BridgeOpenSemaphoreW(DWORD access, BOOL inherit, LPCWSTR name) {
    if (g_passThrough) return OpenSemaphoreW(access, inherit, name);
    NARROW_OR(name, a, NULL);
    const HANDLE result = OpenSemaphoreA(access, inherit, a);
    Release(a, name);
    return result;
}

void WINAPI BridgeOutputDebugStringW(LPCWSTR text) {
    if (g_passThrough) {
        OutputDebugStringW(text);
        return;
    }
    char* a;
    if (!Narrow(text, &a)) return;
    OutputDebugStringA(a);
    Release(a, text);
}

BOOL WINAPI BridgeRemoveDirectoryW(LPCWSTR path) {
    if (g_passThrough) return RemoveDirectoryW(path);
    NARROW_OR(path, a, FALSE);
    const BOOL result = RemoveDirectoryA(a);
    Release(a, path);
    return result;
}

BOOL WINAPI BridgeSetConsoleTitleW(LPCWSTR title) {
    if (g_passThrough) return SetConsoleTitleW(title);
    NARROW_OR(title, a, FALSE);
    const BOOL result = SetConsoleTitleA(a);
    Release(a, title);
    return result;
}

BOOL WINAPI BridgeSetCurrentDirectoryW(LPCWSTR path) {
    if (g_passThrough) return SetCurrentDirectoryW(path);
    NARROW_OR(path, a, FALSE);
    const BOOL result = SetCurrentDirectoryA(a);
    Release(a, path);
    return result;
}

BOOL WINAPI BridgeSetEnvironmentVariableW(LPCWSTR name, LPCWSTR value) {
    if (g_passThrough) return SetEnvironmentVariableW(name, value);
    NARROW2_OR(name, a, value, b, FALSE);
    const BOOL result = SetEnvironmentVariableA(a, b);
    Release(a, name), Release(b, value);
    return result;
}

BOOL WINAPI BridgeSetFileAttributesW(LPCWSTR name, DWORD attributes) {
    if (g_passThrough) return SetFileAttributesW(name, attributes);
    NARROW_OR(name, a, FALSE);
    const BOOL result = SetFileAttributesA(a, attributes);
    Release(a, name);
    return result;
}

BOOL WINAPI BridgeSetVolumeLabelW(LPCWSTR root, LPCWSTR label) {
    if (g_passThrough) return SetVolumeLabelW(root, label);
    NARROW2_OR(root, a, label, b, FALSE);
    const BOOL result = SetVolumeLabelA(a, b);
    Release(a, root), Release(b, label);
    return result;
}

// ---- Output strings ----

typedef struct TextArgument {
    const char* text;
} TextArgument;

static DWORD AskExpand(const void* c, char* buffer, DWORD size) {
    return ExpandEnvironmentStringsA(((const TextArgument*)c)->text, buffer, size);
}
static DWORD AskCurrentDirectory(const void* c, char* buffer, DWORD size) {
    (void)c;
    return GetCurrentDirectoryA(size, buffer);
}
static DWORD AskEnvironmentVariable(const void* c, char* buffer, DWORD size) {
    return GetEnvironmentVariableA(((const TextArgument*)c)->text, buffer, size);
}
static DWORD AskFullPathName(const void* c, char* buffer, DWORD size) {
    return GetFullPathNameA(((const TextArgument*)c)->text, size, buffer, NULL);
}
static DWORD AskLongPathName(const void* c, char* buffer, DWORD size) {
    return GetLongPathNameA(((const TextArgument*)c)->text, buffer, size);
}
static DWORD AskShortPathName(const void* c, char* buffer, DWORD size) {
    return GetShortPathNameA(((const TextArgument*)c)->text, buffer, size);
}
static DWORD AskSystemDirectory(const void* c, char* buffer, DWORD size) {
    (void)c;
    return GetSystemDirectoryA(buffer, size);
}
static DWORD AskTempPath(const void* c, char* buffer, DWORD size) {
    (void)c;
    return GetTempPathA(size, buffer);
}
static DWORD AskWindowsDirectory(const void* c, char* buffer, DWORD size) {
    (void)c;
    return GetWindowsDirectoryA(buffer, size);
}
typedef UINT(WINAPI* DirectoryA)(LPSTR, UINT);
static DWORD AskSystemWindowsDirectory(const void* c, char* buffer, DWORD size) {
    return (*(const DirectoryA*)c)(buffer, size);
}

// Output functions with one string argument: converted, asked, released.
static DWORD OutputWithText(AnsiOutput call, LPCWSTR text, LPWSTR out, DWORD capacity) {
    TextArgument argument;
    if (!Narrow(text, (char**)&argument.text)) return 0;
    const DWORD result = OutputString(call, &argument, out, capacity);
    Release((char*)argument.text, text);
    return result;
}

DWORD WINAPI BridgeExpandEnvironmentStringsW(LPCWSTR source, LPWSTR out, DWORD capacity) {
    if (g_passThrough) return ExpandEnvironmentStringsW(source, out, capacity);
    const DWORD result = OutputWithText(AskExpand, source, out, capacity);
    // This function counts the terminator in its result, filled or not.
    return result != 0 && out != NULL && result < capacity ? result + 1 : result;
}

DWORD WINAPI BridgeGetCurrentDirectoryW(DWORD capacity, LPWSTR out) {
    if (g_passThrough) return GetCurrentDirectoryW(capacity, out);
    return OutputString(AskCurrentDirectory, NULL, out, capacity);
}

DWORD WINAPI BridgeGetEnvironmentVariableW(LPCWSTR name, LPWSTR out, DWORD capacity) {
    if (g_passThrough) return GetEnvironmentVariableW(name, out, capacity);
    return OutputWithText(AskEnvironmentVariable, name, out, capacity);
}

DWORD WINAPI BridgeGetFullPathNameW(LPCWSTR name, DWORD capacity, LPWSTR out, LPWSTR* filePart) {
    if (g_passThrough) return GetFullPathNameW(name, capacity, out, filePart);
    const DWORD result = OutputWithText(AskFullPathName, name, out, capacity);
    if (filePart != NULL && result != 0 && out != NULL && result < capacity) {
        LPWSTR last = NULL;
        for (LPWSTR p = out; *p != 0; ++p)
            if (*p == L'\\') last = p;
        // A path that ends in a backslash names a folder: no file part, as kernel32 answers.
        *filePart = last != NULL && last[1] != 0 ? last + 1 : NULL;
    }
    return result;
}

DWORD WINAPI BridgeGetLongPathNameW(LPCWSTR name, LPWSTR out, DWORD capacity) {
    if (g_passThrough) return GetLongPathNameW(name, out, capacity);
    return OutputWithText(AskLongPathName, name, out, capacity);
}

DWORD WINAPI BridgeGetShortPathNameW(LPCWSTR name, LPWSTR out, DWORD capacity) {
    if (g_passThrough) return GetShortPathNameW(name, out, capacity);
    return OutputWithText(AskShortPathName, name, out, capacity);
}

UINT WINAPI BridgeGetSystemDirectoryW(LPWSTR out, UINT capacity) {
    if (g_passThrough) return GetSystemDirectoryW(out, capacity);
    return OutputString(AskSystemDirectory, NULL, out, capacity);
}

DWORD WINAPI BridgeGetTempPathW(DWORD capacity, LPWSTR out) {
    if (g_passThrough) return GetTempPathW(capacity, out);
    return OutputString(AskTempPath, NULL, out, capacity);
}

UINT WINAPI BridgeGetWindowsDirectoryW(LPWSTR out, UINT capacity) {
    if (g_passThrough) return GetWindowsDirectoryW(out, capacity);
    return OutputString(AskWindowsDirectory, NULL, out, capacity);
}

typedef UINT(WINAPI* DirectoryW)(LPWSTR, UINT);

UINT WINAPI BridgeGetSystemWindowsDirectoryW(LPWSTR out, UINT capacity) {
    if (!g_systemWindowsDirectoryKnown) {
        g_systemWindowsDirectory =
            g_passThrough ? Lookup("GetSystemWindowsDirectoryW", BACKFILL_NAME("GetSystemWindowsDirectoryW", 8))
                          : Lookup("GetSystemWindowsDirectoryA", BACKFILL_NAME("GetSystemWindowsDirectoryA", 8));
        g_systemWindowsDirectoryKnown = TRUE;
    }
    if (g_passThrough) {
        const DirectoryW own = (DirectoryW)(void*)g_systemWindowsDirectory;
        return own != NULL ? own(out, capacity) : GetWindowsDirectoryW(out, capacity);
    }
    DirectoryA ansi = (DirectoryA)(void*)g_systemWindowsDirectory;
    if (ansi == NULL) ansi = GetWindowsDirectoryA;
    return OutputString(AskSystemWindowsDirectory, &ansi, out, capacity);
}

// Unlike the others, the A function does not report the size it needs: a result that fills the
// buffer is cut, as kernel32 cuts the W one (terminated, ERROR_INSUFFICIENT_BUFFER, size returned).
DWORD WINAPI BridgeGetModuleFileNameW(HMODULE module, LPWSTR out, DWORD capacity) {
    if (g_passThrough) return GetModuleFileNameW(module, out, capacity);
    char ansi[MAX_PATH + 1];
    const DWORD got = GetModuleFileNameA(module, ansi, MAX_PATH + 1);
    if (got == 0) return 0;
    ansi[got < MAX_PATH ? got : MAX_PATH] = 0;
    const DWORD result = Widen(ansi, out, capacity);
    if (result < capacity || capacity == 0 || out == NULL) return result;
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, out, (int)capacity - 1);
    out[capacity - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return capacity;
}

// Answers as kernel32 does when the name does not fit: the size needed with the terminator in
// *size and ERROR_BUFFER_OVERFLOW, so that a caller who retries with that size succeeds.
BOOL WINAPI BridgeGetComputerNameW(LPWSTR out, LPDWORD size) {
    if (g_passThrough) return GetComputerNameW(out, size);
    if (size == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char ansi[kComputerNameChars + 1];
    DWORD length = sizeof ansi;
    if (!GetComputerNameA(ansi, &length)) return FALSE;
    ansi[length < kComputerNameChars ? length : kComputerNameChars] = 0;
    const DWORD result = Widen(ansi, out, *size);
    if (result == 0 && ansi[0] != 0) return FALSE;
    if (out == NULL || result >= *size) {
        *size = result;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    *size = result;
    return TRUE;
}

static UINT AtomName(BOOL global, ATOM atom, LPWSTR out, int capacity) {
    char ansi[kAtomBytes];
    const UINT got = global ? GlobalGetAtomNameA(atom, ansi, kAtomBytes) : GetAtomNameA(atom, ansi, kAtomBytes);
    if (got == 0) return 0;
    if (out == NULL || capacity <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const int converted = MultiByteToWideChar(CP_ACP, 0, ansi, -1, out, capacity);
    if (converted == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return (UINT)(converted - 1);
}

UINT WINAPI BridgeGetAtomNameW(ATOM atom, LPWSTR out, int capacity) {
    if (g_passThrough) return GetAtomNameW(atom, out, capacity);
    return AtomName(FALSE, atom, out, capacity);
}

UINT WINAPI BridgeGlobalGetAtomNameW(ATOM atom, LPWSTR out, int capacity) {
    if (g_passThrough) return GlobalGetAtomNameW(atom, out, capacity);
    return AtomName(TRUE, atom, out, capacity);
}

// The drive strings are a list of terminated strings ending in an empty one; the result counts
// every character but the last terminator.
DWORD WINAPI BridgeGetLogicalDriveStringsW(DWORD capacity, LPWSTR out) {
    if (g_passThrough) return GetLogicalDriveStringsW(capacity, out);
    const DWORD size = GetLogicalDriveStringsA(0, NULL);
    if (size == 0) return 0;
    char* ansi = (char*)Allocate(size + 2);
    if (ansi == NULL) return 0;
    DWORD got = GetLogicalDriveStringsA(size + 1, ansi);
    if (got > size) got = 0;
    ansi[got] = 0, ansi[got + 1] = 0;
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi, (int)got + 1, NULL, 0);
    DWORD result = (DWORD)needed;
    if (out != NULL && capacity >= (DWORD)needed) {
        MultiByteToWideChar(CP_ACP, 0, ansi, (int)got + 1, out, needed);
        result = (DWORD)needed - 1;
    }
    Free(ansi);
    return result;
}

UINT WINAPI BridgeGetTempFileNameW(LPCWSTR path, LPCWSTR prefix, UINT unique, LPWSTR out) {
    if (g_passThrough) return GetTempFileNameW(path, prefix, unique, out);
    NARROW2_OR(path, a, prefix, b, 0);
    char ansi[kFieldChars];
    const UINT result = GetTempFileNameA(a, b, unique, ansi);
    Release(a, path), Release(b, prefix);
    if (result != 0 && out != NULL) WidenField(ansi, out, kFieldChars);
    return result;
}

BOOL WINAPI BridgeGetCPInfoExW(UINT codePage, DWORD flags, LPCPINFOEXW info) {
    if (g_passThrough) return GetCPInfoExW(codePage, flags, info);
    CPINFOEXA ansi;
    if (info == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!GetCPInfoExA(codePage, flags, &ansi)) return FALSE;
    info->MaxCharSize = ansi.MaxCharSize;
    for (int i = 0; i < MAX_DEFAULTCHAR; ++i) info->DefaultChar[i] = ansi.DefaultChar[i];
    for (int i = 0; i < MAX_LEADBYTES; ++i) info->LeadByte[i] = ansi.LeadByte[i];
    info->UnicodeDefaultChar = ansi.UnicodeDefaultChar;
    info->CodePage = ansi.CodePage;
    WidenField(ansi.CodePageName, info->CodePageName, MAX_PATH);
    return TRUE;
}

// ---- Records with strings ----

static void WidenFindData(const WIN32_FIND_DATAA* ansi, LPWIN32_FIND_DATAW wide) {
    wide->dwFileAttributes = ansi->dwFileAttributes;
    wide->ftCreationTime = ansi->ftCreationTime;
    wide->ftLastAccessTime = ansi->ftLastAccessTime;
    wide->ftLastWriteTime = ansi->ftLastWriteTime;
    wide->nFileSizeHigh = ansi->nFileSizeHigh;
    wide->nFileSizeLow = ansi->nFileSizeLow;
    wide->dwReserved0 = ansi->dwReserved0;
    wide->dwReserved1 = ansi->dwReserved1;
    WidenField(ansi->cFileName, wide->cFileName, MAX_PATH);
    WidenField(ansi->cAlternateFileName, wide->cAlternateFileName, 14);
}

HANDLE WINAPI BridgeFindFirstFileW(LPCWSTR name, LPWIN32_FIND_DATAW data) {
    if (g_passThrough) return FindFirstFileW(name, data);
    NARROW_OR(name, a, INVALID_HANDLE_VALUE);
    WIN32_FIND_DATAA ansi;
    const HANDLE result = FindFirstFileA(a, &ansi);
    Release(a, name);
    if (result != INVALID_HANDLE_VALUE) WidenFindData(&ansi, data);
    return result;
}

BOOL WINAPI BridgeFindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data) {
    if (g_passThrough) return FindNextFileW(find, data);
    WIN32_FIND_DATAA ansi;
    if (!FindNextFileA(find, &ansi)) return FALSE;
    WidenFindData(&ansi, data);
    return TRUE;
}

BOOL WINAPI BridgeCreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                                 LPSECURITY_ATTRIBUTES threadSecurity, BOOL inherit, DWORD flags, LPVOID environment,
                                 LPCWSTR directory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION information) {
    if (g_passThrough)
        return CreateProcessW(application, commandLine, processSecurity, threadSecurity, inherit, flags, environment,
                              directory, startup, information);
    if (startup == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char *app = NULL, *command = NULL, *folder = NULL, *desktop = NULL, *title = NULL;
    BOOL converted = Narrow(application, &app) && Narrow(commandLine, &command) && Narrow(directory, &folder) &&
                     Narrow(startup->lpDesktop, &desktop) && Narrow(startup->lpTitle, &title);
    BOOL result = FALSE;
    if (converted) {
        STARTUPINFOA ansi;
        ansi.cb = sizeof ansi;  // the size of this target's record, not a fixed 32-bit one
        ansi.lpReserved = NULL;
        ansi.lpDesktop = desktop;
        ansi.lpTitle = title;
        ansi.dwX = startup->dwX, ansi.dwY = startup->dwY;
        ansi.dwXSize = startup->dwXSize, ansi.dwYSize = startup->dwYSize;
        ansi.dwXCountChars = startup->dwXCountChars, ansi.dwYCountChars = startup->dwYCountChars;
        ansi.dwFillAttribute = startup->dwFillAttribute;
        ansi.dwFlags = startup->dwFlags;
        ansi.wShowWindow = startup->wShowWindow;
        ansi.cbReserved2 = startup->cbReserved2;
        ansi.lpReserved2 = startup->lpReserved2;
        ansi.hStdInput = startup->hStdInput;
        ansi.hStdOutput = startup->hStdOutput;
        ansi.hStdError = startup->hStdError;
        result = CreateProcessA(app, command, processSecurity, threadSecurity, inherit, flags, environment, folder,
                                &ansi, information);
    }
    Release(app, application), Release(command, commandLine), Release(folder, directory);
    Release(desktop, startup->lpDesktop), Release(title, startup->lpTitle);
    return result;
}

static STARTUPINFOA g_startup;
static BOOL g_startupKnown;
static WCHAR g_startupDesktop[kFieldChars], g_startupTitle[kFieldChars];

void WINAPI BridgeGetStartupInfoW(LPSTARTUPINFOW startup) {
    if (g_passThrough) {
        GetStartupInfoW(startup);
        return;
    }
    if (!g_startupKnown) {
        g_startup.cb = sizeof g_startup;
        GetStartupInfoA(&g_startup);
        if (g_startup.lpDesktop != NULL) WidenField(g_startup.lpDesktop, g_startupDesktop, kFieldChars);
        if (g_startup.lpTitle != NULL) WidenField(g_startup.lpTitle, g_startupTitle, kFieldChars);
        g_startupKnown = TRUE;
    }
    BYTE* bytes = (BYTE*)startup;
    for (unsigned i = 0; i < sizeof *startup; ++i) bytes[i] = 0;
    startup->cb = sizeof *startup;
    startup->lpDesktop = g_startup.lpDesktop != NULL ? g_startupDesktop : NULL;
    startup->lpTitle = g_startup.lpTitle != NULL ? g_startupTitle : NULL;
    startup->dwX = g_startup.dwX, startup->dwY = g_startup.dwY;
    startup->dwXSize = g_startup.dwXSize, startup->dwYSize = g_startup.dwYSize;
    startup->dwXCountChars = g_startup.dwXCountChars, startup->dwYCountChars = g_startup.dwYCountChars;
    startup->dwFillAttribute = g_startup.dwFillAttribute;
    startup->dwFlags = g_startup.dwFlags;
    startup->wShowWindow = g_startup.wShowWindow;
    startup->cbReserved2 = g_startup.cbReserved2;
    startup->lpReserved2 = g_startup.lpReserved2;
    startup->hStdInput = g_startup.hStdInput;
    startup->hStdOutput = g_startup.hStdOutput;
    startup->hStdError = g_startup.hStdError;
}

// ---- Resource names (integer identifiers pass through Narrow unchanged) ----

HRSRC WINAPI BridgeFindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (g_passThrough) return FindResourceW(module, name, type);
    NARROW2_OR(name, a, type, b, NULL);
    const HRSRC result = FindResourceA(module, a, b);
    Release(a, name), Release(b, type);
    return result;
}

HRSRC WINAPI BridgeFindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
    if (g_passThrough) return FindResourceExW(module, type, name, language);
    NARROW2_OR(type, a, name, b, NULL);
    const HRSRC result = FindResourceExA(module, a, b, language);
    Release(a, type), Release(b, name);
    return result;
}

// ---- Whole-text conversions ----

LPWCH WINAPI BridgeGetEnvironmentStringsW(void) {
    if (g_passThrough) return GetEnvironmentStringsW();
    LPCH ansi = GetEnvironmentStringsA();
    if (ansi == NULL) return NULL;
    const int bytes = WidebridgeBlockLength(ansi);
    LPWCH wide = NULL;
    const int chars = MultiByteToWideChar(CP_ACP, 0, ansi, bytes, NULL, 0);
    if (chars > 0) wide = (LPWCH)Allocate((SIZE_T)chars * sizeof(WCHAR));
    if (wide != NULL && MultiByteToWideChar(CP_ACP, 0, ansi, bytes, wide, chars) == 0) {
        Free(wide);
        wide = NULL;
    }
    FreeEnvironmentStringsA(ansi);
    return wide;
}

BOOL WINAPI BridgeFreeEnvironmentStringsW(LPWCH block) {
    if (g_passThrough) return FreeEnvironmentStringsW(block);
    if (block != NULL) HeapFree(g_heap, 0, block);
    return TRUE;
}

// The ANSI form of `count` characters (-1: up to and with the terminator) in a buffer sized by the
// same code page; its byte count in *bytes.
static char* NarrowCounted(LPCWSTR text, int count, int* bytes) {
    *bytes = WideCharToMultiByte(CP_ACP, 0, text, count, NULL, 0, NULL, NULL);
    if (*bytes <= 0) return NULL;
    char* ansi = (char*)Allocate((SIZE_T)*bytes + 1);
    if (ansi == NULL) return NULL;
    WideCharToMultiByte(CP_ACP, 0, text, count, ansi, *bytes, NULL, NULL);
    ansi[*bytes] = 0;
    return ansi;
}

BOOL WINAPI BridgeGetStringTypeW(DWORD infoType, LPCWSTR text, int count, LPWORD types) {
    if (g_passThrough) return GetStringTypeW(infoType, text, count, types);
    if (text == NULL || types == NULL || count == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int bytes;
    char* ansi = NarrowCounted(text, count, &bytes);
    if (ansi == NULL) return FALSE;
    const BOOL result = GetStringTypeA(LOCALE_SYSTEM_DEFAULT, infoType, ansi, bytes, types);
    Free(ansi);
    return result;
}

int WINAPI BridgeLCMapStringW(LCID locale, DWORD flags, LPCWSTR source, int count, LPWSTR out, int capacity) {
    if (g_passThrough) return LCMapStringW(locale, flags, source, count, out, capacity);
    if (source == NULL || count == 0 || capacity < 0 || (capacity > 0 && out == NULL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int bytes;
    char* ansi = NarrowCounted(source, count, &bytes);
    if (ansi == NULL) return 0;
    const int size = LCMapStringA(locale, flags, ansi, bytes, NULL, 0);
    int result = 0;
    char* mapped = NULL;
    if (size == 0) goto done;
    if ((flags & LCMAP_SORTKEY) && capacity == 0) {
        result = size;
        goto done;
    }
    mapped = (char*)Allocate((SIZE_T)size);
    if (mapped == NULL || LCMapStringA(locale, flags, ansi, bytes, mapped, size) == 0) goto done;
    if (flags & LCMAP_SORTKEY) {
        // A sort key is bytes, copied as they are into the caller's buffer.
        if (capacity < size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            goto done;
        }
        for (int i = 0; i < size; ++i) ((BYTE*)out)[i] = (BYTE)mapped[i];
        result = size;
        goto done;
    }
    result = MultiByteToWideChar(CP_ACP, 0, mapped, size, NULL, 0);
    if (capacity == 0) goto done;  // a size query: nothing is written
    if (capacity < result) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        result = 0;
        goto done;
    }
    result = MultiByteToWideChar(CP_ACP, 0, mapped, size, out, capacity);
done:
    Free(mapped);
    Free(ansi);
    return result;
}

BOOL WINAPI BridgeWriteConsoleW(HANDLE console, const VOID* text, DWORD count, LPDWORD written, LPVOID reserved) {
    if (g_passThrough) return WriteConsoleW(console, text, count, written, reserved);
    if (count == 0) {
        if (written != NULL) *written = 0;
        return WriteConsoleA(console, "", 0, written, reserved);
    }
    int bytes;
    char* ansi = NarrowCounted((LPCWSTR)text, (int)count, &bytes);
    if (ansi == NULL) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    DWORD done = 0;
    const BOOL result = WriteConsoleA(console, ansi, (DWORD)bytes, &done, reserved);
    Free(ansi);
    // The caller counts characters, not the bytes they took.
    if (written != NULL) *written = result ? count : 0;
    return result;
}

// ---- Looked up at run time ----

typedef BOOL(WINAPI* DiskFreeSpaceExW)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
typedef BOOL(WINAPI* DiskFreeSpaceExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

BOOL WINAPI BridgeGetDiskFreeSpaceExW(LPCWSTR path, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER total,
                                      PULARGE_INTEGER totalFree) {
    if (g_passThrough) {
        const FARPROC f = Cached(&g_diskFreeSpaceEx, "GetDiskFreeSpaceExW", BACKFILL_NAME("GetDiskFreeSpaceExW", 16));
        return f != NULL && ((DiskFreeSpaceExW)(void*)f)(path, freeToCaller, total, totalFree);
    }
    const FARPROC f = Cached(&g_diskFreeSpaceEx, "GetDiskFreeSpaceExA", BACKFILL_NAME("GetDiskFreeSpaceExA", 16));
    if (f == NULL) return FALSE;
    NARROW_OR(path, a, FALSE);
    const BOOL result = ((DiskFreeSpaceExA)(void*)f)(a, freeToCaller, total, totalFree);
    Release(a, path);
    return result;
}

typedef BOOL(WINAPI* ModuleHandleExW)(DWORD, LPCWSTR, HMODULE*);
typedef BOOL(WINAPI* ModuleHandleExA)(DWORD, LPCSTR, HMODULE*);

BOOL WINAPI BridgeGetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module) {
    if (g_passThrough) {
        const FARPROC f = Cached(&g_moduleHandleEx, "GetModuleHandleExW", BACKFILL_NAME("GetModuleHandleExW", 12));
        return f != NULL && ((ModuleHandleExW)(void*)f)(flags, name, module);
    }
    const FARPROC f = Cached(&g_moduleHandleEx, "GetModuleHandleExA", BACKFILL_NAME("GetModuleHandleExA", 12));
    if (f == NULL) return FALSE;
    // With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS the "name" is an address inside the module.
    if (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) return ((ModuleHandleExA)(void*)f)(flags, (LPCSTR)name, module);
    NARROW_OR(name, a, FALSE);
    const BOOL result = ((ModuleHandleExA)(void*)f)(flags, a, module);
    Release(a, name);
    return result;
}

typedef HANDLE(WINAPI* CreateTimerW)(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR);
typedef HANDLE(WINAPI* CreateTimerA)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);

HANDLE WINAPI BridgeCreateWaitableTimerW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCWSTR name) {
    FARPROC f = NULL;
    if (g_passThrough) {
        f = Lookup("CreateWaitableTimerW", BACKFILL_NAME("CreateWaitableTimerW", 12));
        if (f == NULL) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return f != NULL ? ((CreateTimerW)(void*)f)(security, manualReset, name) : NULL;
    }
    f = Lookup("CreateWaitableTimerA", BACKFILL_NAME("CreateWaitableTimerA", 12));
    if (f == NULL) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return NULL;
    }
    NARROW_OR(name, a, NULL);
    const HANDLE result = ((CreateTimerA)(void*)f)(security, manualReset, a);
    Release(a, name);
    return result;
}

typedef HANDLE(WINAPI* OpenTimerW)(DWORD, BOOL, LPCWSTR);
typedef HANDLE(WINAPI* OpenTimerA)(DWORD, BOOL, LPCSTR);

HANDLE WINAPI BridgeOpenWaitableTimerW(DWORD access, BOOL inherit, LPCWSTR name) {
    if (g_passThrough) {
        const FARPROC f = Cached(&g_openWaitableTimer, "OpenWaitableTimerW", BACKFILL_NAME("OpenWaitableTimerW", 12));
        return f != NULL ? ((OpenTimerW)(void*)f)(access, inherit, name) : NULL;
    }
    const FARPROC f = Cached(&g_openWaitableTimer, "OpenWaitableTimerA", BACKFILL_NAME("OpenWaitableTimerA", 12));
    if (f == NULL) return NULL;
    NARROW_OR(name, a, NULL);
    const HANDLE result = ((OpenTimerA)(void*)f)(access, inherit, a);
    Release(a, name);
    return result;
}

// ---- Own implementations in both modes ----

BOOL WINAPI BridgeSetComputerNameW(LPCWSTR name) {
    if (name == NULL || !WidebridgeValidComputerName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (g_passThrough) return SetComputerNameW(name);
    NARROW_OR(name, a, FALSE);
    const BOOL result = SetComputerNameA(a);
    Release(a, name);
    return result;
}

BOOL WINAPI BridgeIsBadStringPtrW(LPCWSTR text, UINT_PTR maximum) {
    if (g_passThrough) return IsBadStringPtrW(text, maximum);
    if (maximum == 0) return FALSE;
    for (UINT_PTR i = 0; i < maximum; ++i) {
        if (IsBadReadPtr(text + i, sizeof(WCHAR))) return TRUE;
        if (text[i] == 0) break;
    }
    return FALSE;
}

LPWSTR WINAPI BridgelstrcatW(LPWSTR destination, LPCWSTR source) {
    if (destination == NULL || source == NULL) return NULL;
    WidebridgeCopy(destination + WidebridgeLength(destination), source, -1);
    return destination;
}

LPWSTR WINAPI BridgelstrcpyW(LPWSTR destination, LPCWSTR source) {
    if (destination == NULL || source == NULL) return NULL;
    WidebridgeCopy(destination, source, -1);
    return destination;
}

LPWSTR WINAPI BridgelstrcpynW(LPWSTR destination, LPCWSTR source, int count) {
    if (destination == NULL || source == NULL) return NULL;
    if (count <= 0) return destination;
    WidebridgeCopy(destination, source, count);
    return destination;
}

int WINAPI BridgelstrlenW(LPCWSTR text) { return text == NULL ? 0 : WidebridgeLength(text); }

// ---- Always kernel32's ----

BOOL WINAPI BridgeGetCPInfo(UINT codePage, LPCPINFO info) { return GetCPInfo(codePage, info); }

BOOL WINAPI BridgeIsValidCodePage(UINT codePage) { return IsValidCodePage(codePage); }

int WINAPI BridgeMultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int bytes, LPWSTR out, int capacity) {
    return MultiByteToWideChar(codePage, flags, text, bytes, out, capacity);
}

int WINAPI BridgeWideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH text, int chars, LPSTR out, int capacity,
                                     LPCCH defaultChar, LPBOOL usedDefault) {
    return WideCharToMultiByte(codePage, flags, text, chars, out, capacity, defaultChar, usedDefault);
}
