# The chat-client module on real Win32 windows: cross-built with mingw-w64 and run under wine64.
# - windows-x64: the module, the Win32 window system, a fake chat client made of real Win32
#   windows and the contract suite, for 64-bit Windows; the suite runs under wine64 as a test.
# - windows-x86: the module and the Win32 window system for 32-bit Windows, compiled only (this
#   machine cannot run 32-bit x86 code), so that a 32-bit build stays possible.
include(ExternalProject)

find_program(MELODROP_MINGW64 x86_64-w64-mingw32-g++-posix)
find_program(MELODROP_MINGW32 i686-w64-mingw32-g++-posix)
if(NOT MELODROP_MINGW64 OR NOT MELODROP_MINGW32)
    message(FATAL_ERROR "The Windows tests need mingw-w64 (g++-mingw-w64-x86-64-posix and "
                        "g++-mingw-w64-i686-posix): run scripts/install-deps.sh, or configure "
                        "with -DMELODROP_WINDOWS_TESTS=OFF")
endif()

function(melodrop_windows_build name toolchain build_tests)
    ExternalProject_Add(${name}
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
        CMAKE_GENERATOR Ninja
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${toolchain}
            -DCMAKE_BUILD_TYPE=Release
            -DMELODROP_BOUNDARY_ONLY=ON
            -DMELODROP_BUILD_TESTS=${build_tests}
            -DMELODROP_WERROR=${MELODROP_WERROR}
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        EXCLUDE_FROM_ALL OFF)
endfunction()

melodrop_windows_build(windows-x64 toolchain-mingw-x86_64.cmake ON)
melodrop_windows_build(windows-x86 toolchain-mingw-i686.cmake OFF)

set(MELODROP_WINDOWS_BIN ${CMAKE_BINARY_DIR}/windows-x64/bin)
add_test(NAME win32_contract
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh
            ${MELODROP_WINDOWS_BIN}/aol_contract_win32.exe --gtest_color=no)
set_tests_properties(win32_contract PROPERTIES TIMEOUT 600 LABELS windows)

# The whole program on real Win32 windows: scenarios played by melodrop-scenario on the fake
# client under wine64, which the program reaches through melodrop-bridge.exe.
file(GLOB win32_scenarios CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/scenario/win32/*.scn)
add_test(NAME win32_scenarios
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/with-wine-prefix.sh
            bash ${PROJECT_SOURCE_DIR}/scripts/run-win32-scenarios.sh
            $<TARGET_FILE:melodrop-scenario> ${MELODROP_WINDOWS_BIN} ${win32_scenarios})
set_tests_properties(win32_scenarios PROPERTIES TIMEOUT 900 LABELS windows)
# The same with the bridge started as `melodrop --client wine` starts it (WineBridge).
add_test(NAME win32_wine_client
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/with-wine-prefix.sh
            bash ${PROJECT_SOURCE_DIR}/scripts/run-win32-scenarios.sh --client wine
            $<TARGET_FILE:melodrop-scenario> ${MELODROP_WINDOWS_BIN}
            ${PROJECT_SOURCE_DIR}/tests/scenario/win32/bridge-restart.scn)
set_tests_properties(win32_wine_client PROPERTIES TIMEOUT 600 LABELS windows)

# melodrop-bridge.exe under wine64 as a user runs it, tried as a hostile local user would (its
# token file, a program on its port, starving loops, a look-alike frame window), with melodrop's
# RemoteWindowSystem, and as `melodrop --client wine` starts and ends it; it also runs
# bridge_win32_tests.exe in the same Wine prefix.
add_executable(bridge_wine_tests ${PROJECT_SOURCE_DIR}/tests/scenario/win32/BridgeUnderWineTest.cpp)
target_include_directories(bridge_wine_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bridge_wine_tests PRIVATE melodrop_bridge_client Qt6::Core GTest::gtest_main)
target_compile_definitions(bridge_wine_tests PRIVATE MELODROP_WINDOWS_BIN="${MELODROP_WINDOWS_BIN}"
    MELODROP_PROGRAM="$<TARGET_FILE:melodrop>")
add_dependencies(bridge_wine_tests windows-x64 melodrop)
add_test(NAME win32_bridge
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/with-wine-prefix.sh
            $<TARGET_FILE:bridge_wine_tests> --gtest_color=no)
set_tests_properties(win32_bridge PROPERTIES TIMEOUT 600 LABELS windows)
