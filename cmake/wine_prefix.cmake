# The build's own Wine prefix (ZIZ_WINEPREFIX, see the toolchain file),
# made once, when the build is configured, so that test programs started
# side by side never race to create it.
if(NOT EXISTS ${ZIZ_WINEPREFIX}/system.reg)
  message(STATUS "Creating the Wine prefix ${ZIZ_WINEPREFIX}")
  execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "wineboot could not create ${ZIZ_WINEPREFIX}")
  endif()
endif()

# A share that names drive C:, for tests of UNC paths: Wine maps
# \\server\share to dosdevices/unc/server/share.
file(MAKE_DIRECTORY ${ZIZ_WINEPREFIX}/dosdevices/unc/ziz)
file(CREATE_LINK ../../../drive_c ${ZIZ_WINEPREFIX}/dosdevices/unc/ziz/c SYMBOLIC)
set(ZIZ_WINE_SHARE_OF_C [[\\ZIZ\C]])
