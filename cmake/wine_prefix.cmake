# Makes the Wine prefix `prefix` once, when the build is configured, so
# that test programs started side by side never race to create it; the
# arguments after it are the command that runs Wine in that prefix.
function(ziz_make_wine_prefix prefix)
  if(NOT EXISTS ${prefix}/system.reg)
    message(STATUS "Creating the Wine prefix ${prefix}")
    execute_process(COMMAND ${ARGN} wineboot --init RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "wineboot could not create ${prefix}")
    endif()
  endif()
endfunction()

# The build's own prefix (ZIZ_WINEPREFIX, see the toolchain file).
ziz_make_wine_prefix(${ZIZ_WINEPREFIX} ${CMAKE_CROSSCOMPILING_EMULATOR})

# A share that names drive C:, for tests of UNC paths: Wine maps
# \\server\share to dosdevices/unc/server/share.
file(MAKE_DIRECTORY ${ZIZ_WINEPREFIX}/dosdevices/unc/ziz)
file(CREATE_LINK ../../../drive_c ${ZIZ_WINEPREFIX}/dosdevices/unc/ziz/c SYMBOLIC)
set(ZIZ_WINE_SHARE_OF_C [[\\ZIZ\C]])
