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
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    melodrop_note_layer(${name} DIRS ${ARG_DIRS} LIBS ${ARG_LIBS})
endfunction()

# melodrop_note_layer(NAME DIRS ... LIBS ...): notes a library (or a program) for the layer check
# (scripts/check-layers.py): its name, its folders and what it links. Libraries and programs
# that only another platform builds are noted all the same, so their includes are checked too.
function(melodrop_note_layer name)
    cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
    set(folders)
    foreach(dir IN LISTS ARG_DIRS)
        cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
                   OUTPUT_VARIABLE folder)
        cmake_path(RELATIVE_PATH folder BASE_DIRECTORY ${PROJECT_SOURCE_DIR})
        string(REGEX REPLACE "/$" "" folder "${folder}")
        list(APPEND folders ${folder})
    endforeach()
    list(JOIN folders "," folder_text)
    list(JOIN ARG_LIBS "," link_text)
    set_property(GLOBAL APPEND PROPERTY MELODROP_LAYERS "${name} ${folder_text} ${link_text}")
endfunction()

# Writes the libraries noted by melodrop_library to FILE, one per line: name, folders, links.
function(melodrop_write_layers file)
    get_property(layers GLOBAL PROPERTY MELODROP_LAYERS)
    list(JOIN layers "\n" text)
    file(WRITE ${file} "${text}\n")
endfunction()

# melodrop_test(NAME DIR [LIBS ...] [LABELS ...] [FILTER PATTERN]): one GoogleTest executable of
# every .cpp in DIR; FILTER (a --gtest_filter pattern) picks the tests that ctest lists one by one.
function(melodrop_test name)
    cmake_parse_arguments(ARG "" "FILTER" "DIRS;LIBS;LABELS" ${ARGN})
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
    set(filter)
    if(ARG_FILTER)
        set(filter TEST_FILTER "${ARG_FILTER}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${filter} ${properties})
endfunction()
