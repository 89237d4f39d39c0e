# Per-program manifest and version resource, generated into the build tree.
# hoverlane_program_resources(<target> <name> <description> <asInvoker|requireAdministrator>)
# writes <name>.manifest, <name>_version.rc and <name>_files.h (absolute paths
# for the resource script, which windres resolves from its own folder only).
function(hoverlane_program_resources target name description level)
    set(MANIFEST_NAME ${name})
    set(MANIFEST_DESCRIPTION ${description})
    set(MANIFEST_LEVEL ${level})
    set(VERSION_DESCRIPTION ${description})
    set(VERSION_INTERNAL_NAME ${name})
    set(gen ${CMAKE_CURRENT_BINARY_DIR}/generated/${target})
    configure_file(${HOVERLANE_COMMON_DIR}/app.manifest.in ${gen}/${name}.manifest @ONLY)
    configure_file(${HOVERLANE_COMMON_DIR}/version.rc.in ${gen}/version.rc @ONLY)
    file(WRITE ${gen}/program_files.h.tmp
        "#define MANIFEST_FILE \"${gen}/${name}.manifest\"\n"
        "#define VERSION_RC \"${gen}/version.rc\"\n"
        "#define HOVERLANE_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
    configure_file(${gen}/program_files.h.tmp ${gen}/program_files.h COPYONLY)
    target_include_directories(${target} PRIVATE ${gen})
    set_property(SOURCE ${ARGN} APPEND PROPERTY OBJECT_DEPENDS
        ${gen}/${name}.manifest ${gen}/version.rc ${gen}/program_files.h)
endfunction()
