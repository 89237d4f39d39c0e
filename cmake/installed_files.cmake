# The installed files, from their one home, common/installed_files.txt:
#   HOVERLANE_PROGRAM_FILE  the program's name in the list (Hoverlane.exe)
#   HOVERLANE_INSTALLED_PROGRAM the name it is built and installed under, in
#                           lower case (hoverlane.exe)
#   HOVERLANE_PAYLOAD_FILES the other files, as paths below setup/payload in
#                           lower case, in the list's order
# and, for the programs, ${HOVERLANE_GENERATED_COMMON_DIR}/installed_files.h.
set(list_file ${CMAKE_SOURCE_DIR}/common/installed_files.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
file(STRINGS ${list_file} lines)

set(HOVERLANE_PAYLOAD_FILES "")
set(names "")
set(count 0)
foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    set(role "")
    set(name "${line}")
    if(line MATCHES "^([a-z]+): (.+)$")
        set(role "${CMAKE_MATCH_1}")
        set(name "${CMAKE_MATCH_2}")
    endif()
    string(REPLACE "\\" "\\\\" quoted "${name}")
    string(APPEND names "    \"${quoted}\", \\\n")
    math(EXPR count "${count} + 1")
    if(role STREQUAL "program")
        set(HOVERLANE_PROGRAM_FILE "${name}")
    else()
        string(REPLACE "\\" "/" payload "${name}")
        string(TOLOWER "${payload}" payload)
        list(APPEND HOVERLANE_PAYLOAD_FILES "${payload}")
    endif()
    if(role STREQUAL "help")
        set(help "${quoted}")
    elseif(role STREQUAL "licence")
        set(licence "${quoted}")
    elseif(NOT role STREQUAL "" AND NOT role STREQUAL "program")
        message(FATAL_ERROR "${list_file}: unknown role \"${role}\"")
    endif()
endforeach()
if(NOT HOVERLANE_PROGRAM_FILE OR NOT help OR NOT licence)
    message(FATAL_ERROR "${list_file} names no program, help page or licence")
endif()
string(TOLOWER "${HOVERLANE_PROGRAM_FILE}" HOVERLANE_INSTALLED_PROGRAM)
string(TOLOWER "${help}" installed_help)

set(HOVERLANE_GENERATED_COMMON_DIR ${CMAKE_BINARY_DIR}/generated/common)
file(WRITE ${HOVERLANE_GENERATED_COMMON_DIR}/installed_files.h.tmp
    "// Written by the build from common/installed_files.txt.\n"
    "#pragma once\n"
    "#define HOVERLANE_PROGRAM_FILE \"${HOVERLANE_PROGRAM_FILE}\"\n"
    "#define HOVERLANE_INSTALLED_PROGRAM \"${HOVERLANE_INSTALLED_PROGRAM}\"\n"
    "#define HOVERLANE_INSTALLED_HELP_PAGE \"${installed_help}\"\n"
    "#define HOVERLANE_LICENCE_FILE \"${licence}\"\n"
    "#define HOVERLANE_INSTALLED_FILE_COUNT ${count}\n"
    "#define HOVERLANE_INSTALLED_FILES \\\n${names}\n")
configure_file(${HOVERLANE_GENERATED_COMMON_DIR}/installed_files.h.tmp
    ${HOVERLANE_GENERATED_COMMON_DIR}/installed_files.h COPYONLY)
