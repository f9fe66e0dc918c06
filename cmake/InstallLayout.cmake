# Where `make install` lays things out below the prefix, and what lets `make uninstall` take it
# away again. While cmake --install runs, the install notes which of its folders did not exist
# yet (cmake/InstallRecord.cmake, at the start) and, at the end, writes a record of the prefix:
# every file it installed and the folders it made. The record lies in the build folder
# (installs/, one per prefix); cmake/Uninstall.cmake removes the files, then the folders it
# made once they are empty, then the record.
include(GNUInstallDirs)
set(MELODROP_ICON_SIZES 16 22 24 32 48 64 128 256)
set(MELODROP_SHIPPED_DIR ${CMAKE_INSTALL_DATADIR}/melodrop)
# The programs that melodrop starts itself (melodrop-bridge.exe, run with Wine): private to it,
# so not on the PATH.
set(MELODROP_HELPERS_DIR lib/melodrop)

set(melodrop_install_folders ${CMAKE_INSTALL_BINDIR} ${MELODROP_SHIPPED_DIR}/skins
    ${MELODROP_HELPERS_DIR}
    ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/metainfo
    ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS MELODROP_ICON_SIZES)
    list(APPEND melodrop_install_folders ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The first install step: which of these folders (and of the folders above them) are missing.
install(CODE "
set(MELODROP_INSTALL_FOLDERS \"${melodrop_install_folders}\")
set(MELODROP_INSTALL_RECORDS \"${CMAKE_BINARY_DIR}/installs\")
set(MELODROP_RECORD_STEP start)
include(\"${CMAKE_CURRENT_LIST_DIR}/InstallRecord.cmake\")")

# melodrop-bridge.exe, from the cross-build for Windows that comes with the Windows tests
# (cmake/WindowsBuilds.cmake).
if(MELODROP_BUILD_TESTS AND MELODROP_WINDOWS_TESTS AND NOT WIN32)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/windows-x64/bin/melodrop-bridge.exe
            DESTINATION ${MELODROP_HELPERS_DIR})
endif()

# The last install step (called at the end of the top CMakeLists.txt): the record.
function(melodrop_install_record)
    install(CODE "
set(MELODROP_RECORD_STEP end)
include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/InstallRecord.cmake\")")
endfunction()
