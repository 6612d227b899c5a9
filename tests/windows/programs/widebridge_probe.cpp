// widebridge's exports held against kernel32's own W functions, for the test under Wine:
//
//     WidebridgeProbe BACKFILL_DLL WIDEBRIDGE_DLL   every export, in the working folder
//     WidebridgeProbe exit N                        ends with code N (the child of CreateProcessW)
//
// Run once with the pass-through build and once with the build that forces the converting mode.
// backfill is loaded first, as the program loads it, for the bridge's run-time lookups.
// Prints each failed check; the exit code is the number of failures.
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/programs/probe_check.h"

namespace {

HMODULE g_bridge = nullptr;
bool g_converting = false;  // the build that forces the converting mode is loaded
#define WB(name) Export<decltype(&::name)>(g_bridge, #name)

std::wstring Wide(const wchar_t* text, size_t length) { return std::wstring(text, length); }

void Note(const char* what, const std::wstring& ours, const std::wstring& theirs) {
    std::printf("  %s: \"%ls\" against \"%ls\"\n", what, ours.c_str(), theirs.c_str());
}

using Output = std::function<DWORD(WCHAR*, DWORD)>;

// An output-string function against kernel32's: the size query with no buffer, an exact buffer
// (same result, same text) and a buffer one short (same result, nothing written).
void CheckOutput(const char* name, const Output& bridge, const Output& kernel) {
    g_group = name;
    const DWORD needed = kernel(nullptr, 0);
    CHECK(needed > 0);
    CHECK_EQ(bridge(nullptr, 0), needed);
    std::vector<WCHAR> ours(needed + 1, L'#'), theirs(needed + 1, L'#');
    const DWORD got = bridge(ours.data(), needed);
    CHECK_EQ(got, kernel(theirs.data(), needed));
    if (ours != theirs) {
        ++g_failures;
        Note("exact buffer", Wide(ours.data(), needed), Wide(theirs.data(), needed));
    }
    if (needed < 2) return;
    // One short: the size needed; the converting mode writes nothing, pass-through whatever
    // kernel32 writes.
    std::vector<WCHAR> shortBuffer(needed, L'#'), kernelShort(needed, L'#');
    CHECK_EQ(bridge(shortBuffer.data(), needed - 1), kernel(kernelShort.data(), needed - 1));
    if (g_converting) {
        CHECK(shortBuffer == std::vector<WCHAR>(needed, L'#'));
    } else {
        CHECK(shortBuffer == kernelShort);
    }
}

void CheckStrings() {
    g_group = "strings";
    const auto length = WB(lstrlenW);
    const auto copy = WB(lstrcpyW);
    const auto append = WB(lstrcatW);
    const auto copyN = WB(lstrcpynW);
    CHECK_EQ(length(L"four"), 4);
    CHECK_EQ(length(L""), 0);
    CHECK_EQ(length(nullptr), 0);
    WCHAR buffer[16] = L"zzzzzzzzzzzzzzz";
    CHECK(copy(buffer, L"ab") == buffer);
    CHECK(lstrcmpW(buffer, L"ab") == 0);
    CHECK(append(buffer, L"cd") == buffer);
    CHECK(lstrcmpW(buffer, L"abcd") == 0);
    CHECK(append(buffer, L"") == buffer);
    CHECK(lstrcmpW(buffer, L"abcd") == 0);
    CHECK(copy(nullptr, L"x") == nullptr);
    CHECK(append(buffer, nullptr) == nullptr);
    CHECK(copyN(buffer, L"xyz", 0) == buffer);
    CHECK(lstrcmpW(buffer, L"abcd") == 0);
    CHECK(copyN(buffer, L"xyz", -3) == buffer);
    CHECK(lstrcmpW(buffer, L"abcd") == 0);
    CHECK(copyN(buffer, L"xyz", 1) == buffer);
    CHECK(lstrcmpW(buffer, L"") == 0);
    copyN(buffer, L"xyz", 3);
    CHECK(lstrcmpW(buffer, L"xy") == 0);
    copyN(buffer, L"xyz", 10);
    CHECK(lstrcmpW(buffer, L"xyz") == 0);
    CHECK(copyN(nullptr, L"xyz", 3) == nullptr);

    CHECK(!WB(IsBadStringPtrW)(L"readable", 100));
    CHECK(!WB(IsBadStringPtrW)(L"readable", 0));
    CHECK(WB(IsBadStringPtrW)(reinterpret_cast<LPCWSTR>(16), 10));

    // Refused before the system is asked, in both modes.
    const auto setName = WB(SetComputerNameW);
    for (const wchar_t* bad : {L"has space", L"star*", L"slash/", L"comma,"}) {
        SetLastError(0);
        CHECK(!setName(bad));
        CHECK_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }

    UINT codePages[] = {CP_ACP, 1252, 437};
    for (UINT codePage : codePages) {
        CPINFO ours, theirs;
        CHECK_EQ(WB(GetCPInfo)(codePage, &ours), GetCPInfo(codePage, &theirs));
        CHECK_EQ(ours.MaxCharSize, theirs.MaxCharSize);
        CHECK_EQ(WB(IsValidCodePage)(codePage), IsValidCodePage(codePage));
    }
    CHECK_EQ(WB(IsValidCodePage)(12345), IsValidCodePage(12345));
    WCHAR wide[8];
    char narrow[8];
    CHECK_EQ(WB(MultiByteToWideChar)(CP_ACP, 0, "abc", -1, wide, 8), 4);
    CHECK(lstrcmpW(wide, L"abc") == 0);
    CHECK_EQ(WB(WideCharToMultiByte)(CP_ACP, 0, L"abc", -1, narrow, 8, nullptr, nullptr), 4);
    CHECK(std::strcmp(narrow, "abc") == 0);
    CHECK_EQ(WB(MultiByteToWideChar)(CP_ACP, 0, "abcdef", -1, wide, 3), 0);
    CHECK_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    CPINFOEXW ours, theirs;
    CHECK(WB(GetCPInfoExW)(CP_ACP, 0, &ours));
    CHECK(GetCPInfoExW(CP_ACP, 0, &theirs));
    CHECK_EQ(ours.CodePage, theirs.CodePage);
    CHECK_EQ(ours.MaxCharSize, theirs.MaxCharSize);
    CHECK_EQ(ours.UnicodeDefaultChar, theirs.UnicodeDefaultChar);
    CHECK(lstrcmpW(ours.CodePageName, theirs.CodePageName) == 0);
}

void CheckFilesAndFolders() {
    g_group = "files";
    CHECK(WB(CreateDirectoryW)(L"folder", nullptr));
    CHECK(!WB(CreateDirectoryW)(L"folder", nullptr));
    CHECK_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CHECK(WB(CreateDirectoryExW)(L"folder", L"folder2", nullptr));
    CHECK_EQ(WB(GetFileAttributesW)(L"folder") & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    CHECK_EQ(WB(GetFileAttributesW)(L"nothing"), INVALID_FILE_ATTRIBUTES);
    CHECK_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE file = WB(CreateFileW)(L"folder\\one.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "12345", 5, &written, nullptr);
    CloseHandle(file);
    CHECK(WB(CreateFileW)(L"folder\\one.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr) ==
          INVALID_HANDLE_VALUE);
    CHECK_EQ(GetLastError(), ERROR_FILE_EXISTS);
    CHECK(WB(CopyFileW)(L"folder\\one.txt", L"folder\\two.txt", TRUE));
    CHECK(!WB(CopyFileW)(L"folder\\one.txt", L"folder\\two.txt", TRUE));
    CHECK(WB(MoveFileW)(L"folder\\two.txt", L"folder\\three.txt"));
    CHECK(WB(SetFileAttributesW)(L"folder\\three.txt", FILE_ATTRIBUTE_READONLY));
    CHECK_EQ(GetFileAttributesW(L"folder\\three.txt") & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    CHECK(WB(SetFileAttributesW)(L"folder\\three.txt", FILE_ATTRIBUTE_NORMAL));

    // The Find family lists the same records as kernel32's.
    const auto list = [](auto first, auto next) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = first(L"folder\\*.txt", &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do names.push_back(std::wstring(data.cFileName) + L":" + std::to_wstring(data.nFileSizeLow) + L":" +
                           std::to_wstring(data.dwFileAttributes) + L":" + std::to_wstring(data.ftLastWriteTime.dwLowDateTime));
        while (next(find, &data));
        FindClose(find);
        return names;
    };
    const auto ours = list(WB(FindFirstFileW), WB(FindNextFileW));
    const auto theirs = list(FindFirstFileW, FindNextFileW);
    CHECK_EQ(ours.size(), 2);
    CHECK(ours == theirs);
    WIN32_FIND_DATAW data;
    CHECK(WB(FindFirstFileW)(L"folder\\*.none", &data) == INVALID_HANDLE_VALUE);
    CHECK_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    CHECK(!WB(FindNextFileW)(INVALID_HANDLE_VALUE, &data));

    HANDLE change = WB(FindFirstChangeNotificationW)(L"folder", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    CHECK(change != INVALID_HANDLE_VALUE);
    FindCloseChangeNotification(change);

    CHECK(WB(DeleteFileW)(L"folder\\one.txt"));
    CHECK(WB(DeleteFileW)(L"folder\\three.txt"));
    CHECK(!WB(DeleteFileW)(L"folder\\three.txt"));
    CHECK_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    CHECK(!WB(RemoveDirectoryW)(L"nothing"));
    CHECK(WB(RemoveDirectoryW)(L"folder"));
    CHECK(WB(RemoveDirectoryW)(L"folder2"));

    WCHAR folder[MAX_PATH], previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    CreateDirectoryW(L"inner", nullptr);
    CHECK(WB(SetCurrentDirectoryW)(L"inner"));
    GetCurrentDirectoryW(MAX_PATH, folder);
    CHECK(lstrcmpW(folder + lstrlenW(folder) - 6, L"\\inner") == 0);
    CHECK(!WB(SetCurrentDirectoryW)(L"no such folder"));
    SetCurrentDirectoryW(previous);
    RemoveDirectoryW(L"inner");

    CHECK_EQ(WB(GetDriveTypeW)(L"C:\\"), GetDriveTypeW(L"C:\\"));
    CHECK_EQ(WB(GetDriveTypeW)(nullptr), GetDriveTypeW(nullptr));
    DWORD a[4], b[4];
    CHECK(WB(GetDiskFreeSpaceW)(L"C:\\", &a[0], &a[1], &a[2], &a[3]));
    CHECK(GetDiskFreeSpaceW(L"C:\\", &b[0], &b[1], &b[2], &b[3]));
    CHECK_EQ(a[0], b[0]);
    CHECK_EQ(a[3], b[3]);
    ULARGE_INTEGER total, kernelTotal;
    CHECK(WB(GetDiskFreeSpaceExW)(L"C:\\", nullptr, &total, nullptr));
    CHECK(GetDiskFreeSpaceExW(L"C:\\", nullptr, &kernelTotal, nullptr));
    CHECK_EQ(total.QuadPart, kernelTotal.QuadPart);
    CHECK_EQ(WB(SetVolumeLabelW)(L"Q:\\", L"none"), SetVolumeLabelW(L"Q:\\", L"none"));
}

void CheckObjectsAndAtoms() {
    g_group = "objects";
    HANDLE event = WB(CreateEventW)(nullptr, TRUE, FALSE, L"SparrelProbeEvent");
    CHECK(event != nullptr);
    HANDLE opened = WB(OpenEventW)(EVENT_ALL_ACCESS, FALSE, L"SparrelProbeEvent");
    CHECK(opened != nullptr);
    SetEvent(opened);
    CHECK_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(opened);
    CHECK(WB(OpenEventW)(EVENT_ALL_ACCESS, FALSE, L"SparrelNoSuchEvent") == nullptr);
    CHECK_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE mutex = WB(CreateMutexW)(nullptr, FALSE, L"SparrelProbeMutex");
    CHECK(mutex != nullptr);
    opened = WB(OpenMutexW)(SYNCHRONIZE, FALSE, L"SparrelProbeMutex");
    CHECK(opened != nullptr);
    CloseHandle(opened);
    HANDLE semaphore = WB(CreateSemaphoreW)(nullptr, 1, 2, L"SparrelProbeSemaphore");
    CHECK(semaphore != nullptr);
    opened = WB(OpenSemaphoreW)(SYNCHRONIZE, FALSE, L"SparrelProbeSemaphore");
    CHECK(opened != nullptr);
    CloseHandle(opened);
    HANDLE mapping = WB(CreateFileMappingW)(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"SparrelProbeMap");
    CHECK(mapping != nullptr);
    opened = WB(OpenFileMappingW)(FILE_MAP_READ, FALSE, L"SparrelProbeMap");
    CHECK(opened != nullptr);
    CloseHandle(opened);
    HANDLE timer = WB(CreateWaitableTimerW)(nullptr, TRUE, L"SparrelProbeTimer");
    CHECK(timer != nullptr);
    opened = WB(OpenWaitableTimerW)(TIMER_ALL_ACCESS, FALSE, L"SparrelProbeTimer");
    CHECK(opened != nullptr);
    CloseHandle(opened);
    HANDLE slot = WB(CreateMailslotW)(L"\\\\.\\mailslot\\sparrel_probe", 0, 0, nullptr);
    CHECK(slot != INVALID_HANDLE_VALUE);
    for (HANDLE h : {event, mutex, semaphore, mapping, timer, slot}) CloseHandle(h);

    g_group = "atoms";
    const ATOM local = WB(AddAtomW)(L"SparrelAtom");
    CHECK(local != 0);
    CHECK_EQ(WB(FindAtomW)(L"SparrelAtom"), local);
    CHECK_EQ(FindAtomW(L"SparrelAtom"), local);
    CHECK_EQ(WB(AddAtomW)(reinterpret_cast<LPCWSTR>(ULONG_PTR{123})), 123);  // an integer atom
    CHECK_EQ(WB(FindAtomW)(L"NoSuchAtomHere"), 0);
    WCHAR name[32];
    CHECK_EQ(WB(GetAtomNameW)(local, name, 12), 11);
    CHECK(lstrcmpW(name, L"SparrelAtom") == 0);
    const ATOM global = WB(GlobalAddAtomW)(L"SparrelGlobalAtom");
    CHECK(global != 0);
    CHECK_EQ(WB(GlobalFindAtomW)(L"SparrelGlobalAtom"), global);
    CHECK_EQ(WB(GlobalGetAtomNameW)(global, name, 32), GlobalGetAtomNameW(global, name, 32));
    CHECK(lstrcmpW(name, L"SparrelGlobalAtom") == 0);
    CHECK_EQ(WB(GlobalGetAtomNameW)(global, name, 18), 17);
    GlobalDeleteAtom(global);
    DeleteAtom(local);
}

void CheckModules(const char* self) {
    g_group = "modules";
    CHECK(WB(GetModuleHandleW)(L"kernel32.dll") == GetModuleHandleW(L"kernel32.dll"));
    CHECK(WB(GetModuleHandleW)(nullptr) == GetModuleHandleW(nullptr));
    CHECK(WB(GetModuleHandleW)(L"nothing.dll") == nullptr);
    CHECK_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    HMODULE loaded = WB(LoadLibraryW)(L"version.dll");
    CHECK(loaded != nullptr);
    FreeLibrary(loaded);
    loaded = WB(LoadLibraryExW)(L"version.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(loaded != nullptr);
    FreeLibrary(loaded);
    CHECK(WB(LoadLibraryW)(L"no-such-library.dll") == nullptr);
    HMODULE module = nullptr;
    CHECK(WB(GetModuleHandleExW)(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"kernel32.dll", &module));
    CHECK(module == GetModuleHandleW(L"kernel32.dll"));
    const LPCWSTR inside = reinterpret_cast<LPCWSTR>(GetProcAddress(g_bridge, "lstrlenW"));
    CHECK(WB(GetModuleHandleExW)(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 inside, &module));
    CHECK(module == g_bridge);

    // Resources by integer identifier (nothing converted) and by name.
    CHECK(WB(FindResourceW)(nullptr, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14)) ==  // RT_GROUP_ICON
          FindResourceW(nullptr, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14)));
    CHECK(WB(FindResourceW)(nullptr, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14)) != nullptr);
    CHECK(WB(FindResourceW)(nullptr, L"PROBE_TEXT", MAKEINTRESOURCEW(10)) != nullptr);  // RT_RCDATA
    CHECK(WB(FindResourceW)(nullptr, L"probe_text", L"#10") == FindResourceW(nullptr, L"probe_text", L"#10"));
    CHECK(WB(FindResourceExW)(nullptr, MAKEINTRESOURCEW(10), L"PROBE_TEXT", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)) ==
          FindResourceExW(nullptr, MAKEINTRESOURCEW(10), L"PROBE_TEXT", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)));
    CHECK(WB(FindResourceW)(nullptr, L"NO_SUCH_THING", MAKEINTRESOURCEW(10)) == nullptr);

    g_group = "processes";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpTitle = const_cast<LPWSTR>(L"child title");
    PROCESS_INFORMATION child{};
    WCHAR command[MAX_PATH + 16];
    MultiByteToWideChar(CP_ACP, 0, self, -1, command + 1, MAX_PATH);
    command[0] = L'"';
    lstrcatW(command, L"\" exit 5");
    CHECK(WB(CreateProcessW)(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    WaitForSingleObject(child.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    CHECK_EQ(code, 5);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CHECK(!WB(CreateProcessW)(L"no-such-program.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &child));

    STARTUPINFOW ours, theirs;
    std::memset(&ours, 0xCC, sizeof ours);
    WB(GetStartupInfoW)(&ours);
    GetStartupInfoW(&theirs);
    CHECK_EQ(ours.cb, sizeof ours);
    CHECK_EQ(ours.dwFlags, theirs.dwFlags);
    CHECK_EQ(ours.wShowWindow, theirs.wShowWindow);
    CHECK(ours.hStdOutput == theirs.hStdOutput);
    CHECK(ours.hStdError == theirs.hStdError);
    CHECK((ours.lpTitle == nullptr) == (theirs.lpTitle == nullptr));
    if (ours.lpTitle != nullptr && theirs.lpTitle != nullptr) CHECK(lstrcmpW(ours.lpTitle, theirs.lpTitle) == 0);
    WB(GetStartupInfoW)(&ours);  // answered from the cache
    CHECK_EQ(ours.dwFlags, theirs.dwFlags);

    WB(OutputDebugStringW)(L"probe");
    CHECK_EQ(!WB(SetConsoleTitleW)(L"probe title"), !SetConsoleTitleW(L"probe title"));
    DWORD written = 99, kernelWritten = 99;
    const BOOL wrote = WB(WriteConsoleW)(GetStdHandle(STD_ERROR_HANDLE), L"", 0, &written, nullptr);
    CHECK_EQ(!wrote, !WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), L"", 0, &kernelWritten, nullptr));
    CHECK_EQ(!WB(WriteConsoleW)(nullptr, L"x", 1, &written, nullptr), !WriteConsoleW(nullptr, L"x", 1, &written, nullptr));
}

void CheckOutputs(const char* self) {
    (void)self;
    SetEnvironmentVariableW(L"SPARREL_PROBE", L"value of the probe");
    CheckOutput(
        "GetCurrentDirectoryW", [](WCHAR* b, DWORD n) { return WB(GetCurrentDirectoryW)(n, b); },
        [](WCHAR* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
    CheckOutput(
        "GetEnvironmentVariableW",
        [](WCHAR* b, DWORD n) { return WB(GetEnvironmentVariableW)(L"SPARREL_PROBE", b, n); },
        [](WCHAR* b, DWORD n) { return GetEnvironmentVariableW(L"SPARREL_PROBE", b, n); });
    CheckOutput(
        "ExpandEnvironmentStringsW",
        [](WCHAR* b, DWORD n) { return WB(ExpandEnvironmentStringsW)(L"<%SPARREL_PROBE%>", b, n); },
        [](WCHAR* b, DWORD n) { return ExpandEnvironmentStringsW(L"<%SPARREL_PROBE%>", b, n); });
    CheckOutput(
        "GetFullPathNameW", [](WCHAR* b, DWORD n) { return WB(GetFullPathNameW)(L"some\\file.txt", n, b, nullptr); },
        [](WCHAR* b, DWORD n) { return GetFullPathNameW(L"some\\file.txt", n, b, nullptr); });
    CheckOutput(
        "GetSystemDirectoryW", [](WCHAR* b, DWORD n) { return WB(GetSystemDirectoryW)(b, n); },
        [](WCHAR* b, DWORD n) { return GetSystemDirectoryW(b, n); });
    CheckOutput(
        "GetTempPathW", [](WCHAR* b, DWORD n) { return WB(GetTempPathW)(n, b); },
        [](WCHAR* b, DWORD n) { return GetTempPathW(n, b); });
    CheckOutput(
        "GetWindowsDirectoryW", [](WCHAR* b, DWORD n) { return WB(GetWindowsDirectoryW)(b, n); },
        [](WCHAR* b, DWORD n) { return GetWindowsDirectoryW(b, n); });
    CheckOutput(
        "GetSystemWindowsDirectoryW", [](WCHAR* b, DWORD n) { return WB(GetSystemWindowsDirectoryW)(b, n); },
        [](WCHAR* b, DWORD n) { return GetSystemWindowsDirectoryW(b, n); });
    CheckOutput(
        "GetLogicalDriveStringsW", [](WCHAR* b, DWORD n) { return WB(GetLogicalDriveStringsW)(n, b); },
        [](WCHAR* b, DWORD n) { return GetLogicalDriveStringsW(n, b); });
    CloseHandle(CreateFileW(L"a long file name.text", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    WCHAR shortName[MAX_PATH];
    GetShortPathNameW(L"a long file name.text", shortName, MAX_PATH);
    static std::wstring s_short = shortName;
    CheckOutput(
        "GetShortPathNameW",
        [](WCHAR* b, DWORD n) { return WB(GetShortPathNameW)(L"a long file name.text", b, n); },
        [](WCHAR* b, DWORD n) { return GetShortPathNameW(L"a long file name.text", b, n); });
    CheckOutput(
        "GetLongPathNameW", [](WCHAR* b, DWORD n) { return WB(GetLongPathNameW)(s_short.c_str(), b, n); },
        [](WCHAR* b, DWORD n) { return GetLongPathNameW(s_short.c_str(), b, n); });
    DeleteFileW(L"a long file name.text");

    g_group = "GetFullPathNameW file part";
    WCHAR full[MAX_PATH], kernelFull[MAX_PATH];
    LPWSTR part = nullptr, kernelPart = nullptr;
    WB(GetFullPathNameW)(L"some\\file.txt", MAX_PATH, full, &part);
    GetFullPathNameW(L"some\\file.txt", MAX_PATH, kernelFull, &kernelPart);
    CHECK(part != nullptr && lstrcmpW(part, kernelPart) == 0);
    CHECK_EQ(part - full, kernelPart - kernelFull);
    WB(GetFullPathNameW)(L"C:\\folder\\", MAX_PATH, full, &part);
    GetFullPathNameW(L"C:\\folder\\", MAX_PATH, kernelFull, &kernelPart);
    CHECK((part == nullptr) == (kernelPart == nullptr));
    CHECK_EQ(WB(GetEnvironmentVariableW)(L"SPARREL_NOT_SET", full, MAX_PATH), 0);
    CHECK_EQ(GetLastError(), ERROR_ENVVAR_NOT_FOUND);

    g_group = "GetModuleFileNameW";
    WCHAR ours[MAX_PATH], theirs[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, theirs, MAX_PATH);
    CHECK_EQ(WB(GetModuleFileNameW)(nullptr, ours, MAX_PATH), length);
    CHECK(lstrcmpW(ours, theirs) == 0);
    CHECK_EQ(WB(GetModuleFileNameW)(nullptr, ours, length + 1), length);

    g_group = "GetComputerNameW";
    DWORD kernelSize = MAX_PATH, size = MAX_PATH;
    CHECK(GetComputerNameW(theirs, &kernelSize));
    CHECK(WB(GetComputerNameW)(ours, &size));
    CHECK_EQ(size, kernelSize);
    CHECK(lstrcmpW(ours, theirs) == 0);
    size = kernelSize + 1;
    CHECK(WB(GetComputerNameW)(ours, &size));
    CHECK_EQ(size, kernelSize);
    size = kernelSize;  // one short: the size needed comes back, and retrying with it succeeds
    DWORD kernelShort = kernelSize;
    CHECK(!WB(GetComputerNameW)(ours, &size));
    const DWORD error = GetLastError();
    CHECK(!GetComputerNameW(theirs, &kernelShort));
    CHECK_EQ(error, GetLastError());
    CHECK_EQ(size, kernelShort);
    CHECK(WB(GetComputerNameW)(ours, &size));

    g_group = "GetTempFileNameW";
    CHECK_EQ(WB(GetTempFileNameW)(L"C:\\windows", L"sp", 0xBEEF, ours), 0xBEEF);
    GetTempFileNameW(L"C:\\windows", L"sp", 0xBEEF, theirs);
    CHECK(lstrcmpW(ours, theirs) == 0);
}

void CheckWholeTexts() {
    g_group = "environment";
    SetLastError(0);
    CHECK(WB(SetEnvironmentVariableW)(L"SPARREL_SET", L"set by the bridge"));
    WCHAR value[64];
    CHECK_EQ(GetEnvironmentVariableW(L"SPARREL_SET", value, 64), 17);
    LPWCH ours = WB(GetEnvironmentStringsW)();
    LPWCH theirs = GetEnvironmentStringsW();
    CHECK(ours != nullptr);
    size_t ourLength = 0, theirLength = 0;
    while (ours[ourLength] != 0 || ours[ourLength + 1] != 0) ++ourLength;
    while (theirs[theirLength] != 0 || theirs[theirLength + 1] != 0) ++theirLength;
    CHECK_EQ(ourLength, theirLength);
    CHECK(std::memcmp(ours, theirs, (ourLength + 2) * sizeof(WCHAR)) == 0);
    CHECK(WB(FreeEnvironmentStringsW)(ours));
    FreeEnvironmentStringsW(theirs);
    CHECK(WB(SetEnvironmentVariableW)(L"SPARREL_SET", nullptr));
    CHECK_EQ(GetEnvironmentVariableW(L"SPARREL_SET", value, 64), 0);

    g_group = "GetStringTypeW";
    WORD ourTypes[8] = {}, theirTypes[8] = {};
    CHECK(WB(GetStringTypeW)(CT_CTYPE1, L"aB1 .\t", 6, ourTypes));
    CHECK(GetStringTypeW(CT_CTYPE1, L"aB1 .\t", 6, theirTypes));
    CHECK(std::memcmp(ourTypes, theirTypes, sizeof ourTypes) == 0);
    CHECK(WB(GetStringTypeW)(CT_CTYPE1, L"xY", -1, ourTypes));
    CHECK(GetStringTypeW(CT_CTYPE1, L"xY", -1, theirTypes));
    CHECK(std::memcmp(ourTypes, theirTypes, 3 * sizeof(WORD)) == 0);

    g_group = "LCMapStringW";
    const auto map = WB(LCMapStringW);
    const LCID locale = LOCALE_USER_DEFAULT;
    WCHAR mapped[16], kernelMapped[16];
    CHECK_EQ(map(locale, LCMAP_UPPERCASE, L"mixed Case", -1, nullptr, 0),
             LCMapStringW(locale, LCMAP_UPPERCASE, L"mixed Case", -1, nullptr, 0));
    CHECK_EQ(map(locale, LCMAP_UPPERCASE, L"mixed Case", -1, mapped, 11), 11);
    LCMapStringW(locale, LCMAP_UPPERCASE, L"mixed Case", -1, kernelMapped, 11);
    CHECK(lstrcmpW(mapped, kernelMapped) == 0);
    CHECK_EQ(map(locale, LCMAP_LOWERCASE, L"ABC", 3, mapped, 3), 3);
    CHECK(std::memcmp(mapped, L"abc", 3 * sizeof(WCHAR)) == 0);
    CHECK_EQ(map(locale, LCMAP_UPPERCASE, L"mixed Case", -1, mapped, 10), 0);
    CHECK_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    const int keySize = map(locale, LCMAP_SORTKEY, L"key", -1, nullptr, 0);
    CHECK(keySize > 0);
    BYTE key[64];
    CHECK_EQ(map(locale, LCMAP_SORTKEY, L"key", -1, reinterpret_cast<LPWSTR>(key), sizeof key), keySize);
    CHECK_EQ(map(locale, LCMAP_SORTKEY, L"key", -1, reinterpret_cast<LPWSTR>(key), keySize - 1), 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
    if (argc != 3) {
        std::printf("usage: WidebridgeProbe BACKFILL_DLL WIDEBRIDGE_DLL | WidebridgeProbe exit N\n");
        return 100;
    }
    if (LoadNamed(argv[1]) == nullptr || (g_bridge = LoadNamed(argv[2])) == nullptr) return 100;
    g_converting = std::strstr(argv[2], "converting") != nullptr;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    CheckStrings();
    CheckFilesAndFolders();
    CheckObjectsAndAtoms();
    CheckModules(self);
    CheckOutputs(self);
    CheckWholeTexts();
    std::printf("%d failures\n", g_failures);
    std::fflush(stdout);
    return g_failures;
}
