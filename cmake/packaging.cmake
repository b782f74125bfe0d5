# The Windows downloads, made by `cpack --preset windows` (scripts/package) into
# build/packages: a zip of the program and its README.txt, and a setup program built with
# NSIS from packaging/NSIS.template.in. Both are named after the project's version.

install(TARGETS serverbrowser RUNTIME DESTINATION .)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME "TarnwickServerBrowser")
set(CPACK_PACKAGE_VENDOR "Kestrel Forge")
set(CPACK_PACKAGE_FILE_NAME "TarnwickServerBrowser-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Tarnwick Server Browser")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Tarnwick Server Browser")
set(CPACK_NSIS_DISPLAY_NAME "Tarnwick Server Browser")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/src/resources/shell.ico")
set(CPACK_MODULE_PATH "${PROJECT_SOURCE_DIR}/packaging")
# The setup program closes a running copy by its main window's class, spelled once, in the
# program's resource header.
file(STRINGS "${PROJECT_SOURCE_DIR}/src/resources/resource.h" window_class REGEX "^#define MAIN_WINDOW_CLASS \"")
string(REGEX REPLACE "^#define MAIN_WINDOW_CLASS \"([^\"]+)\".*$" "\\1" CPACK_SB_WINDOW_CLASS "${window_class}")
if(NOT CPACK_SB_WINDOW_CLASS MATCHES "^[A-Za-z0-9_]+$")
  message(FATAL_ERROR "no MAIN_WINDOW_CLASS in src/resources/resource.h")
endif()
# Read by cpack for each generator: the setup program's name says what it is.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package_names.cmake")
# Signing with a release certificate, when one is given (cmake/package_names.cmake).
set(CPACK_SIGN_COMMAND "${PROJECT_SOURCE_DIR}/scripts/sign")
set(CPACK_SIGN_SCRIPT_DIR "${PROJECT_SOURCE_DIR}/cmake")
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
