# Checks the include arrows of the engine core against its layer order and keeps operating-system,
# SDL and adapter headers out of it. Run as a script:
#   cmake -DROOT=<source folder> -P cmake/CheckLayers.cmake
# Fails (with every offending line listed) when a folder includes one above it or beside it.
#
# Layer order, bottom first; render and audio sit side by side between script and ecs.
#   base <- script <- (render | audio) <- ecs <- host <- app
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED ROOT)
    message(FATAL_ERROR "CheckLayers: pass -DROOT=<source folder>")
endif()

set(allowed_base base)
set(allowed_script base script)
set(allowed_render base render)
set(allowed_audio base audio)
set(allowed_ecs base script render audio ecs)
set(allowed_host base script render audio ecs host)
set(allowed_app base script render audio ecs host app)
set(core_folders base script render audio ecs host app)
# Folders outside the core that the core must never reach into.
set(outside_folders platform compat tests tools bench)
# Headers of the operating system, SDL and the graphics and sound interfaces.
set(system_header_pattern
    "^(windows|winuser|winbase|mmsystem|d3d9|d3d9types|d3dx9|dsound|mmreg|unistd|dirent|fcntl|pthread|dlfcn|SDL|SDL2/.*|sys/.*)\\.h$")

set(violations "")
foreach(folder ${core_folders})
    if(NOT IS_DIRECTORY "${ROOT}/${folder}")
        continue()
    endif()
    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(source ${sources})
        file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
        file(RELATIVE_PATH shown "${ROOT}" "${source}")
        foreach(line ${lines})
            if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/")
                set(target "${CMAKE_MATCH_1}")
                if(target IN_LIST outside_folders)
                    list(APPEND violations "${shown}: ${line} (outside the engine core)")
                elseif(target IN_LIST core_folders AND NOT target IN_LIST allowed_${folder})
                    list(APPEND violations "${shown}: ${line} (${target} is not below ${folder})")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
                if(CMAKE_MATCH_1 MATCHES "${system_header_pattern}")
                    list(APPEND violations "${shown}: ${line} (system header in the engine core)")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Include arrows against the layer order:\n  ${text}")
endif()
message(STATUS "Layers: every include of the engine core runs downward")
