# The oldest Windows each shipped program is for. The headers refuse calls
# newer than that (the audit in scripts/import_audit.py checks what the
# linked programs really import):
# - 95 family: Windows 98 and Me (95 with msvcrt.dll); Windows 4.10 headers,
#   the shell and common controls of Internet Explorer 4.01.
# - NT family: Windows XP (i686) and XP x64 / Server 2003 (x86_64).
# The PE headers name the same floor (4.0, 5.1, 5.2): a loader refuses a
# program that asks for a newer Windows than itself.
# PSAPI_VERSION 1 takes GetModuleFileNameExA from psapi.dll, not the
# kernel32 alias that only Windows 7 has.
set(HOVERLANE_FLOOR_DEFINITIONS_95 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0410 WINVER=0x0400
    _WIN32_IE=0x0401 PSAPI_VERSION=1)
set(HOVERLANE_FLOOR_DEFINITIONS_NT _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600
    PSAPI_VERSION=1)

# hoverlane_floor(<target> <95|nt>): a shipped program or a library of one.
# Code shared by both families (common, setup's and the uninstaller's
# libraries, the uninstaller itself) is built for the 95 family's floor,
# the lower one.
function(hoverlane_floor target family)
    string(TOUPPER ${family} FAMILY)
    target_compile_definitions(${target} PRIVATE ${HOVERLANE_FLOOR_DEFINITIONS_${FAMILY}})
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "EXECUTABLE")
        return()
    endif()
    # No 64-bit Windows is older than XP x64, whatever the family.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(major 5)
        set(minor 2)
    elseif(FAMILY STREQUAL "95")
        set(major 4)
        set(minor 0)
    else()
        set(major 5)
        set(minor 1)
    endif()
    target_link_options(${target} PRIVATE
        -Wl,--major-os-version,${major} -Wl,--minor-os-version,${minor}
        -Wl,--major-subsystem-version,${major} -Wl,--minor-subsystem-version,${minor})
endfunction()
