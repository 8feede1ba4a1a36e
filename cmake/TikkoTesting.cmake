# tikko_add_test(NAME <name> SOURCES <files...> LIBRARIES <targets...> [ENVIRONMENT <k=v...>])
# One GoogleTest executable, registered with CTest, run with a throw-away HOME so that no
# test can touch the user's own settings or files.
find_package(GTest REQUIRED)
include(GoogleTest)

function(tikko_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} GTest::gtest GTest::gtest_main)
    set(home "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home")
    file(MAKE_DIRECTORY "${home}")
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "HOME=${home};XDG_CONFIG_HOME=${home}/.config;LC_ALL=C.UTF-8;${T_ENVIRONMENT}")
endfunction()
