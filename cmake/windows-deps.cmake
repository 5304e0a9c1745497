# Windows builds take the header-only libraries from Debian's Linux packages.
# Their CMake packages would put /usr/include on the cross compiler's path, so
# only the library's own header folder is copied into the build tree and offered
# under the names find_package gives on Linux.
function(tessaly_header_library target folder)
    if(TARGET ${target})
        return()
    endif()
    set(staged ${PROJECT_BINARY_DIR}/host-headers/${target})
    file(COPY /usr/include/${folder} DESTINATION ${staged})
    string(REPLACE "::" "_" plain ${target})
    add_library(${plain} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${plain} SYSTEM INTERFACE ${staged})
    add_library(${target} ALIAS ${plain})
endfunction()

tessaly_header_library(CLI11::CLI11 CLI)
tessaly_header_library(nlohmann_json::nlohmann_json nlohmann)
