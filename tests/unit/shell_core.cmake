add_executable(shell_core_tests ${CMAKE_CURRENT_LIST_DIR}/ShellCoreTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsPropertyTest.cpp ${PROJECT_SOURCE_DIR}/win/LocalTime.cpp)
target_include_directories(shell_core_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(shell_core_tests PRIVATE appcore GTest::gtest_main)
gtest_discover_tests(shell_core_tests)
