# Resources of the Windows programs, compiled by windres into each program that
# asks for them: the icon, the version record Explorer shows, and a manifest.
#   tessaly_windows_resources(<target> [GUI] [DESCRIPTION <text>])
# GUI adds to the manifest what only windows need: Common Controls 6 and Per
# Monitor DPI awareness. DESCRIPTION (default "Tessaly") is the file description
# that Task Manager and Explorer show for the program.
enable_language(RC)

# The icon, rendered at build time from the same drawing as the Linux icons: the
# shell's 16, 32 and 48 pixel images, and 256 as PNG (as Windows Vista and later
# store their large icons, a fraction of the size of a bitmap).
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(TESSALY_WINDOWS_GENERATED ${PROJECT_BINARY_DIR}/generated/windows)
set(TESSALY_WINDOWS_ICON ${TESSALY_WINDOWS_GENERATED}/tessaly.ico)
set(icon_svg ${PROJECT_SOURCE_DIR}/packaging/icons/org.tessaly.Tessaly.svg)
set(icon_commands)
set(icon_images)
foreach(size 16 32 48 256)
    set(png ${TESSALY_WINDOWS_GENERATED}/icon-${size}.png)
    list(APPEND icon_commands
        COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg})
    if(size EQUAL 256)
        list(APPEND icon_images --raw=${png})
    else()
        list(APPEND icon_images ${png})
    endif()
endforeach()
add_custom_command(OUTPUT ${TESSALY_WINDOWS_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSALY_WINDOWS_GENERATED}
    ${icon_commands}
    COMMAND ${ICOTOOL} --create --output=${TESSALY_WINDOWS_ICON} ${icon_images}
    DEPENDS ${icon_svg} VERBATIM)
add_custom_target(tessaly_windows_icon DEPENDS ${TESSALY_WINDOWS_ICON})

# The icon's resource id is the one the windows load it by.
file(STRINGS ${PROJECT_SOURCE_DIR}/resources/control_ids.h icon_id_line
    REGEX "IDR_MAINFRAME = [0-9]+")
string(REGEX REPLACE ".*IDR_MAINFRAME = ([0-9]+).*" "\\1" TESSALY_ICON_ID "${icon_id_line}")
# The file version is the program's version record's; the product version is the
# project's, with as many parts as Windows wants.
file(STRINGS ${PROJECT_SOURCE_DIR}/app/version.h file_version_line
    REGEX "kFileVersion = \"[0-9.]+\"")
string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" TESSALY_FILE_VERSION "${file_version_line}")
set(TESSALY_PRODUCT_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
        string(APPEND TESSALY_PRODUCT_VERSION .0)
    else()
        string(APPEND TESSALY_PRODUCT_VERSION .${PROJECT_VERSION_${part}})
    endif()
endforeach()
# The project's copyright line: LICENSE holds only the licence's own text.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/copyright copyright_line
    REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: " "Copyright " TESSALY_COPYRIGHT "${copyright_line}")
foreach(value TESSALY_ICON_ID TESSALY_FILE_VERSION TESSALY_COPYRIGHT)
    if("${${value}}" STREQUAL "")
        message(FATAL_ERROR "windows-resources: ${value} not found in its source")
    endif()
endforeach()
if(NOT TESSALY_FILE_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "windows-resources: the file version ${TESSALY_FILE_VERSION} has not four parts")
endif()

function(tessaly_windows_resources target)
    cmake_parse_arguments(R "GUI" "DESCRIPTION" "" ${ARGN})
    set(TARGET_NAME ${target})
    set(DESCRIPTION Tessaly)
    if(R_DESCRIPTION)
        set(DESCRIPTION ${R_DESCRIPTION})
    endif()
    set(ICON_ID ${TESSALY_ICON_ID})
    set(ICON_FILE ${TESSALY_WINDOWS_ICON})
    set(FILE_VERSION ${TESSALY_FILE_VERSION})
    set(PRODUCT_VERSION ${TESSALY_PRODUCT_VERSION})
    string(REPLACE . , FILE_VERSION_COMMAS ${FILE_VERSION})
    string(REPLACE . , PRODUCT_VERSION_COMMAS ${PRODUCT_VERSION})
    set(COPYRIGHT ${TESSALY_COPYRIGHT})

    set(templates ${PROJECT_SOURCE_DIR}/packaging/windows)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
    set(WINDOW_PARTS)
    if(R_GUI)
        file(READ ${templates}/window-parts.manifest.in WINDOW_PARTS)
    endif()
    set(MANIFEST_FILE ${out}/${target}.manifest)
    configure_file(${templates}/program.manifest.in ${MANIFEST_FILE} @ONLY)
    # The file name comes from the target, once the build system knows it.
    configure_file(${templates}/program.rc.in ${out}/${target}.rc.in @ONLY)
    file(GENERATE OUTPUT ${out}/${target}.rc INPUT ${out}/${target}.rc.in TARGET ${target})

    target_sources(${target} PRIVATE ${out}/${target}.rc)
    # windres reads the icon and the manifest; a new drawing or manifest makes a
    # new resource object.
    set_source_files_properties(${out}/${target}.rc PROPERTIES GENERATED TRUE
        OBJECT_DEPENDS "${TESSALY_WINDOWS_ICON};${MANIFEST_FILE}")
    add_dependencies(${target} tessaly_windows_icon)
endfunction()
