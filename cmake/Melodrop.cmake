# melodrop_library(NAME DIR [LIBS ...]): a static library of every .cpp below DIR (not recursing
# into sub-folders that hold libraries of their own), so that new files need no CMake edit.
function(melodrop_library name)
    cmake_parse_arguments(ARG "" "" "DIRS;LIBS;EXCLUDE" ${ARGN})
    set(sources)
    foreach(dir IN LISTS ARG_DIRS)
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(APPEND sources ${found})
    endforeach()
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${ex}")
    endforeach()
    # A library whose folder has no sources yet still configures (an empty translation unit).
    if(NOT sources MATCHES "\\.cpp")
        set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
        file(WRITE ${stub} "// no sources yet\n")
        list(APPEND sources ${stub})
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# melodrop_test(NAME DIR [LIBS ...] [LABELS ...]): one GoogleTest executable of every .cpp in DIR.
function(melodrop_test name)
    cmake_parse_arguments(ARG "" "" "DIRS;LIBS;LABELS" ${ARGN})
    set(sources)
    foreach(dir IN LISTS ARG_DIRS)
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
        list(APPEND sources ${found})
    endforeach()
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        MELODROP_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures"
        MELODROP_RUNTIME_DIR="${MELODROP_RUNTIME_DIR}")
    # The tests' main() chooses the offscreen platform and SDL's dummy driver when the caller has
    # not. (A list such as "A=1;B=2" passed here as ENVIRONMENT splits the property list apart
    # and the labels after it were lost.)
    set(properties)
    if(ARG_LABELS)
        set(properties PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${properties})
endfunction()
