# The Windows package: zizadod5-<version>-win64.zip holding zizadod5.exe
# (installed by window/win32/) and dta2csv.exe (installed by cli/), their
# read-me in Portuguese and English, and the copyright text the Debian
# package carries. The texts get CR LF line
# ends, which every Windows editor shows as lines.
#
# The read-me is saved as UTF-16 (little-endian, with its byte order mark):
# the one form that both Notepad and cmd.exe's `type` read as Unicode, so
# its accents show in either. `type` writes a file without the mark byte
# for byte in the console's code page, 850 in a Portuguese console, where
# UTF-8 (and its mark) comes out as other letters; a file saved in code
# page 850 would show right there but wrong in Notepad, which reads
# unmarked non-UTF-8 text in the ANSI code page, 1252.
configure_file(${CMAKE_CURRENT_LIST_DIR}/LEIA-ME.txt ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.utf8.txt
               @ONLY NEWLINE_STYLE CRLF)
find_program(ZIZ_ICONV iconv REQUIRED)
string(ASCII 239 187 191 byte_order_mark)  # U+FEFF in UTF-8, FF FE once converted
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/byte-order-mark.txt "${byte_order_mark}")
execute_process(COMMAND ${ZIZ_ICONV} -f UTF-8 -t UTF-16LE ${CMAKE_CURRENT_BINARY_DIR}/byte-order-mark.txt
                        ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.utf8.txt
                OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt RESULT_VARIABLE iconv_result)
if(NOT iconv_result EQUAL 0)
  message(FATAL_ERROR "LEIA-ME.txt could not be converted to UTF-16")
endif()
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/copyright copyright)
string(REPLACE "\n" "\r\n" copyright "${copyright}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/COPYRIGHT.txt "${copyright}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt ${CMAKE_CURRENT_BINARY_DIR}/COPYRIGHT.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zizadod5)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "zizadod5 maintainers")
set(CPACK_PACKAGE_FILE_NAME zizadod5-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
