# Checks the companion DLLs of the shipped 32-bit build with objdump: each exports exactly its list
# of functions under exactly these names (backfill with the standard-call decoration, widebridge
# plain) and imports from KERNEL32 and USER32 alone.
#   cmake -DBUILD=build/windows-i686 [-DOBJDUMP=i686-w64-mingw32-objdump] -P CheckCompanionLibraries.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED OBJDUMP)
    set(OBJDUMP i686-w64-mingw32-objdump)
endif()

set(backfill_exports
    _CopyFileExA@24 _CreateFileA@28 _GetDiskFreeSpaceA@20 _GetDiskFreeSpaceExA@16 _GetTempFileNameA@16
    _ReadFile@20 _WriteFile@20 _FindFirstFileExA@24 _FindFirstFileExW@24 _GetFileSizeEx@8
    _SetFilePointerEx@20 _GetModuleHandleExA@12 _GetModuleHandleExW@12 _GetProcessId@4
    _GlobalMemoryStatusEx@4 _InitializeCriticalSectionAndSpinCount@8 _MoveFileExA@12 _EncodePointer@4
    _DecodePointer@4 _EncodeSystemPointer@4 _DecodeSystemPointer@4 _SystemFunction036@8
    _IsDebuggerPresent@0 _IsWow64Process@8 _IsProcessorFeaturePresent@4 _InitializeSListHead@4
    _QueryDepthSList@4 _VirtualAllocEx@20 _VirtualFreeEx@16
    _CreateHardLinkA@12 _CreateHardLinkW@12 _GetComputerNameExA@12 _GetComputerNameExW@12
    _GetProcessIoCounters@8 _HeapSetInformation@16 _IsValidLanguageGroup@8 _ReplaceFileA@24
    _ReplaceFileW@24 _RtlCaptureStackBackTrace@16 _SetDllDirectoryA@4 _SetDllDirectoryW@4)
set(backfill_count 41)

set(widebridge_exports
    AddAtomW CopyFileW CreateDirectoryExW CreateDirectoryW CreateEventW CreateFileMappingW CreateFileW
    CreateMailslotW CreateMutexW CreateSemaphoreW DeleteFileW FatalAppExitW FindAtomW
    FindFirstChangeNotificationW GetDiskFreeSpaceW GetDriveTypeW GetFileAttributesW GetModuleHandleW
    GlobalAddAtomW GlobalFindAtomW LoadLibraryExW LoadLibraryW MoveFileW OpenEventW OpenFileMappingW
    OpenMutexW OpenSemaphoreW OutputDebugStringW RemoveDirectoryW SetConsoleTitleW SetCurrentDirectoryW
    SetEnvironmentVariableW SetFileAttributesW SetVolumeLabelW
    ExpandEnvironmentStringsW GetCurrentDirectoryW GetEnvironmentVariableW GetFullPathNameW
    GetLongPathNameW GetShortPathNameW GetSystemDirectoryW GetTempPathW GetWindowsDirectoryW
    GetSystemWindowsDirectoryW GetModuleFileNameW GetComputerNameW GetAtomNameW GlobalGetAtomNameW
    GetLogicalDriveStringsW GetTempFileNameW GetCPInfoExW
    FindFirstFileW FindNextFileW CreateProcessW GetStartupInfoW
    FindResourceW FindResourceExW
    GetEnvironmentStringsW FreeEnvironmentStringsW GetStringTypeW LCMapStringW WriteConsoleW
    GetDiskFreeSpaceExW GetModuleHandleExW CreateWaitableTimerW OpenWaitableTimerW
    SetComputerNameW IsBadStringPtrW lstrcatW lstrcpyW lstrcpynW lstrlenW
    GetCPInfo IsValidCodePage MultiByteToWideChar WideCharToMultiByte)
set(widebridge_count 76)

set(problems "")
set(summary "")
foreach(library backfill widebridge)
    set(file "${BUILD}/${library}.dll")
    if(NOT EXISTS "${file}")
        if(DEFINED ENV{SPARREL_REQUIRE_WINDOWS})
            message(FATAL_ERROR "${file} does not exist (cmake --preset windows-i686)")
        endif()
        message("SKIPPED: ${file} does not exist (cmake --preset windows-i686)")
        return()
    endif()
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${file} failed (${result})")
    endif()
    if(NOT dump MATCHES "file format pei-i386")
        string(APPEND problems "\n  ${library}: not an i386 image")
    endif()
    # The export name table: "\t[   n] name" lines after "[Ordinal/Name Pointer] Table".
    string(FIND "${dump}" "Ordinal/Name Pointer] Table" at)
    set(exports "")
    if(at GREATER -1)
        string(SUBSTRING "${dump}" ${at} -1 table)
        # Brackets would hold CMake's list elements together: the rows are read as "<n> name".
        string(REPLACE "[" "<" table "${table}")
        string(REPLACE "]" ">" table "${table}")
        string(REGEX MATCH "Table\n(\t< *[0-9]+> [^\n]+\n)+" table "${table}")
        string(REGEX MATCHALL "> [^\n]+" rows "${table}")
        foreach(row ${rows})
            string(SUBSTRING "${row}" 2 -1 name)
            list(APPEND exports "${name}")
        endforeach()
    endif()
    list(LENGTH exports count)
    if(NOT count EQUAL ${library}_count)
        string(APPEND problems "\n  ${library}: ${count} exports, not ${${library}_count}")
    endif()
    foreach(name ${${library}_exports})
        if(NOT name IN_LIST exports)
            string(APPEND problems "\n  ${library}: does not export ${name}")
        endif()
    endforeach()
    foreach(name ${exports})
        if(NOT name IN_LIST ${library}_exports)
            string(APPEND problems "\n  ${library}: exports ${name}, which is not on its list")
        endif()
    endforeach()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
    foreach(import ${imports})
        string(TOUPPER "${import}" upper)
        if(NOT upper MATCHES "^DLL NAME: (KERNEL32|USER32)\\.DLL$")
            string(APPEND problems "\n  ${library}: imports from ${import}")
        endif()
    endforeach()
    string(APPEND summary "\n  ${library}.dll: ${count} exports; ${imports}")
endforeach()
if(NOT problems STREQUAL "")
    message(FATAL_ERROR "companion libraries in ${BUILD}:${problems}")
endif()
message("companion libraries in ${BUILD}:${summary}")
