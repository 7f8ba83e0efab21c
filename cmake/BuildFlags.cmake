# Compiler and linker flags of the project's own targets: warnings, an
# optional sanitizer, and hardening. They live on one INTERFACE target that
# every compiled target of the project links (scrivola_link_build_flags), so
# nothing is added globally and the caller's CMAKE_CXX_FLAGS, build type and
# LDFLAGS (for example a distribution's) are kept as given.
#
#   SCRIVOLA_WERROR     turn warnings into errors (the CI turns it on)
#   SCRIVOLA_SANITIZER  "" (none), "address" (ASan + UBSan) or "thread" (TSan)
#   SCRIVOLA_HARDENING  add the hardening flags the caller's flags lack
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckPIESupported)

option(SCRIVOLA_WERROR "Treat compiler warnings as errors" OFF)
set(SCRIVOLA_SANITIZER "" CACHE STRING "Sanitizer build: empty, address or thread")
option(SCRIVOLA_HARDENING "Add stack protector, fortified calls, CET, PIE and full RELRO" ON)

add_library(scrivola_build_flags INTERFACE)

target_compile_options(scrivola_build_flags INTERFACE -Wall -Wextra)
if(SCRIVOLA_WERROR)
    target_compile_options(scrivola_build_flags INTERFACE -Werror)
    # From GCC 12 on, -O3 warns that std::string's own inlined copy of a
    # short literal may overlap itself (GCC bug 105329). The warning is still
    # shown but is no error: it points into the standard library, not at a
    # fault of ours.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
        target_compile_options(scrivola_build_flags INTERFACE -Wno-error=restrict)
    endif()
endif()

if(SCRIVOLA_SANITIZER STREQUAL "address")
    target_compile_options(scrivola_build_flags INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(scrivola_build_flags INTERFACE -fsanitize=address,undefined)
elseif(SCRIVOLA_SANITIZER STREQUAL "thread")
    target_compile_options(scrivola_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(scrivola_build_flags INTERFACE -fsanitize=thread)
elseif(NOT SCRIVOLA_SANITIZER STREQUAL "")
    message(FATAL_ERROR "Unknown SCRIVOLA_SANITIZER '${SCRIVOLA_SANITIZER}'")
endif()

# Hardening. Each flag is added only when the caller's flags say nothing
# about it, so a distribution's choice (including switching one off) wins.
# A sanitizer build is never shipped, and fortified calls would hide memory
# accesses from AddressSanitizer, so it gets none of them.
set(_caller_compile_flags "${CMAKE_CXX_FLAGS}")
foreach(_config IN LISTS CMAKE_BUILD_TYPE CMAKE_CONFIGURATION_TYPES)
    string(TOUPPER "${_config}" _config)
    string(APPEND _caller_compile_flags " ${CMAKE_CXX_FLAGS_${_config}}")
endforeach()
set(_caller_link_flags "${CMAKE_EXE_LINKER_FLAGS}")

if(SCRIVOLA_HARDENING AND SCRIVOLA_SANITIZER STREQUAL "")
    if(NOT _caller_compile_flags MATCHES "-f(no-)?stack-protector")
        check_cxx_compiler_flag(-fstack-protector-strong SCRIVOLA_HAS_STACK_PROTECTOR)
        if(SCRIVOLA_HAS_STACK_PROTECTOR)
            target_compile_options(scrivola_build_flags INTERFACE -fstack-protector-strong)
        endif()
    endif()

    if(NOT _caller_compile_flags MATCHES "-fcf-protection")
        check_cxx_compiler_flag(-fcf-protection SCRIVOLA_HAS_CF_PROTECTION)
        if(SCRIVOLA_HAS_CF_PROTECTION)
            target_compile_options(scrivola_build_flags INTERFACE -fcf-protection)
        endif()
    endif()

    # The C library checks buffer sizes only when the code is optimised (and
    # warns otherwise), so fortified calls go to configurations that optimise:
    # those whose last -O flag is not -O0.
    if(NOT _caller_compile_flags MATCHES "_FORTIFY_SOURCE")
        set(_optimised_configs "")
        foreach(_config IN LISTS CMAKE_BUILD_TYPE CMAKE_CONFIGURATION_TYPES)
            string(TOUPPER "${_config}" _upper)
            string(REGEX MATCHALL "(^| )-O[^ ]*" _levels
                   "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${_upper}}")
            list(POP_BACK _levels _level)
            if(_level AND NOT _level MATCHES "-O0$")
                list(APPEND _optimised_configs "${_config}")
            endif()
        endforeach()
        if(_optimised_configs)
            list(JOIN _optimised_configs "," _optimised_configs)
            target_compile_definitions(scrivola_build_flags INTERFACE
                $<$<CONFIG:${_optimised_configs}>:_FORTIFY_SOURCE=2>)
        endif()
    endif()

    if(NOT _caller_link_flags MATCHES "relro")
        target_link_options(scrivola_build_flags INTERFACE LINKER:-z,relro)
    endif()
    if(NOT _caller_link_flags MATCHES "-z,(now|lazy)|-z (now|lazy)")
        target_link_options(scrivola_build_flags INTERFACE LINKER:-z,now)
    endif()

    # Position-independent executables, so the loader can place the program
    # at a random address, unless the caller asked for -no-pie. Code that
    # uses Qt must stay -fPIC (Qt's targets add it; Qt, built with reduced
    # relocations, compares function addresses that -fPIE would make
    # differ), so when the compiler does not already produce position-
    # independent code by default, CMake's own PIC/PIE flags are used: they
    # come before Qt's on the command line.
    if(NOT "${_caller_compile_flags} ${_caller_link_flags}" MATCHES "-no-pie")
        check_cxx_source_compiles("#ifndef __PIE__\n#error\n#endif\nint main() {}"
                                  SCRIVOLA_COMPILER_MAKES_PIE)
        if(NOT SCRIVOLA_COMPILER_MAKES_PIE)
            check_pie_supported(LANGUAGES CXX)
            set(CMAKE_POSITION_INDEPENDENT_CODE ON)
        endif()
        target_link_options(scrivola_build_flags INTERFACE
            $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>)
    endif()
endif()

# Links scrivola_build_flags into every executable and library defined in
# directory $dir and below (call it once, after all targets are defined).
function(scrivola_link_build_flags dir)
    get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            target_link_libraries(${target} PRIVATE scrivola_build_flags)
        endif()
    endforeach()
    get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        scrivola_link_build_flags("${subdir}")
    endforeach()
endfunction()
