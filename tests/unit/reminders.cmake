# The alarm and anniversary rules and their minute checks, run against a
# real database through the stand-in Access driver that storage.cmake adds
# (named by its folder: this list may be included before that one).
add_executable(reminder_tests ${CMAKE_CURRENT_LIST_DIR}/ReminderRulesTest.cpp)
target_include_directories(reminder_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(reminder_tests PRIVATE anniversarycore alarmcore reminderdb_create GTest::gtest_main)
add_dependencies(reminder_tests quorvel_odbc_shim)
gtest_discover_tests(reminder_tests DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "ODBCSYSINI=${PROJECT_BINARY_DIR}/tests/support")
