# The Windows package: dta2csv-<version>-win64.zip holding dta2csv.exe
# (installed by cli/), its read-me in Portuguese and English, and the
# copyright text the Debian package carries. The texts get CR LF line
# ends, which every Windows editor shows as lines.
configure_file(${CMAKE_CURRENT_LIST_DIR}/LEIA-ME.txt ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt
               @ONLY NEWLINE_STYLE CRLF)
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/copyright copyright)
string(REPLACE "\n" "\r\n" copyright "${copyright}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/COPYRIGHT.txt "${copyright}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LEIA-ME.txt ${CMAKE_CURRENT_BINARY_DIR}/COPYRIGHT.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME dta2csv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "zizadod5 maintainers")
set(CPACK_PACKAGE_FILE_NAME dta2csv-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
