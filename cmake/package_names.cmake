# cpack reads this once per generator, after CPackConfig.cmake.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()

# With a release certificate (SIGN_PKCS12, see scripts/sign) the staged program is signed
# before it is packed, and makensis signs the uninstaller it embeds and the setup program it
# writes; a failed signature fails the package. Set but empty (a release job without its
# secret) it is unset, as scripts/package and scripts/sign read it: the packages are unsigned.
if(NOT "$ENV{SIGN_PKCS12}" STREQUAL "")
  set(CPACK_PRE_BUILD_SCRIPTS "${CPACK_SIGN_SCRIPT_DIR}/sign_staged.cmake")
  set(sign "'\"${CPACK_SIGN_COMMAND}\" \"%1\"' = 0")
  set(CPACK_NSIS_SIGNING "!uninstfinalize ${sign}\n!finalize ${sign}")
endif()
