# The compiler flags of Quorvel's own libraries and programs, as two INTERFACE targets that
# every one of them links (quorvel_link_build_flags below), not as global flags:
#
#   quorvel_warnings  -Wall -Wextra -Wpedantic on every C++ source;
#   quorvel_sanitize  with QUORVEL_SANITIZE on, AddressSanitizer, UndefinedBehaviorSanitizer
#                     and LeakSanitizer, every report fatal, on compile and link; empty
#                     otherwise;
#   quorvel_pe_header for Windows, a program's PE header: Windows 7 (6.1) as its operating
#                     system and subsystem version, as the programs call what Windows 7
#                     brought (GetMonitorInfoW, MonitorFromPoint, TrackMouseEvent) and are
#                     meant for Windows 7 and later; and no time stamp, so that two builds of
#                     the same sources give the same bytes. Empty elsewhere.
#
# Only C++ sources take them: the resource scripts of the Windows build go to windres. The one
# global flag is the browser build's -fexceptions below, which every object must share.

# The browser build (Emscripten): C++ exceptions as JavaScript exceptions, on every object and
# at the link, since the runtime throws its run-time errors. WebAssembly's own exceptions
# (-fwasm-exceptions) crash Emscripten 3.1.6's Asyncify pass, which the page needs.
if(EMSCRIPTEN)
    add_compile_options(-fexceptions)
    add_link_options(-fexceptions)
endif()

add_library(quorvel_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(quorvel_warnings INTERFACE
        "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Wpedantic>")
endif()

add_library(quorvel_sanitize INTERFACE)
if(QUORVEL_SANITIZE)
    if(WIN32)
        message(FATAL_ERROR "QUORVEL_SANITIZE is for the Linux build: MinGW has no sanitizers")
    endif()
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(quorvel_sanitize INTERFACE "$<$<COMPILE_LANGUAGE:CXX>:${sanitizers}>")
    target_link_options(quorvel_sanitize INTERFACE ${sanitizers})
    unset(sanitizers)
endif()

add_library(quorvel_pe_header INTERFACE)
if(WIN32)
    target_link_options(quorvel_pe_header INTERFACE
        -Wl,--major-os-version,6,--minor-os-version,1
        -Wl,--major-subsystem-version,6,--minor-subsystem-version,1
        -Wl,--no-insert-timestamp)
endif()

# quorvel_link_build_flags(DIRECTORY): every library and program defined in DIRECTORY and in
# the folders added under it links quorvel_warnings, quorvel_sanitize and quorvel_pe_header.
# Called once all of them are defined, so a target added anywhere in the tree gets the flags
# without a line of its own.
function(quorvel_link_build_flags directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            target_link_libraries(${target} PRIVATE quorvel_warnings quorvel_sanitize quorvel_pe_header)
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        quorvel_link_build_flags(${subdirectory})
    endforeach()
endfunction()
