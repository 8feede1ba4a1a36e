# SPDX-License-Identifier: MIT
# tikko_add_test(NAME <name> SOURCES <files...> LIBRARIES <targets...> [QT] [ENVIRONMENT <k=v...>])
# One GoogleTest executable, registered with CTest, run with a throw-away HOME so that no
# test can touch the user's own settings or files. QT gives it the one Qt test main (an
# application object for every test, no display needed).
if(WIN32 AND CMAKE_CROSSCOMPILING)
    # GoogleTest is built here for the target from Debian's sources. Each test program runs
    # in one Wine process (CTest puts Wine before it as the emulator): a process per test
    # case would start Wine dozens of times.
    set(TIKKO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build")
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TIKKO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
    function(tikko_add_test)
        cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
        add_executable(${T_NAME} ${T_SOURCES})
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gtest_main)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
        set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300)
    endfunction()
    return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

function(tikko_add_test)
    cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_QT)
        find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
        target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/qt_test_main.cpp)
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} Qt6::Widgets Qt6::Test GTest::gtest)
        list(APPEND T_ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    else()
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gtest_main)
    endif()
    set(home "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home")
    file(MAKE_DIRECTORY "${home}")
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 TEST_LIST ${T_NAME}_TESTS)
    # The discovered tests get their environment from a script that CTest reads after
    # discovery: passed through gtest_discover_tests, the list would be split at its ";".
    set(env "HOME=${home};XDG_CONFIG_HOME=${home}/.config;LC_ALL=C.UTF-8;${T_ENVIRONMENT}")
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_environment.cmake")
    file(WRITE "${script}" "if(${T_NAME}_TESTS)\n"
         "    set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ENVIRONMENT [==[${env}]==])\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
