# Run by CPack after it has staged the files and before it packs them (CPACK_PRE_BUILD_SCRIPTS,
# set when a release certificate is given): signs the staged serverbrowser.exe, so that the
# zip and the setup program both carry the signed program and the build tree keeps its own.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/serverbrowser.exe")
list(LENGTH programs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "sign: expected one staged serverbrowser.exe, found ${count}")
endif()
execute_process(COMMAND "${CPACK_SIGN_COMMAND}" ${programs} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "sign: the program was not signed; no package is made")
endif()
