# The reminder store's tests, run against a real database: the stand-in
# Access driver of tests/support (SQLite ODBC behind a shim), registered in
# that folder's odbcinst.ini and selected through ODBCSYSINI.
add_subdirectory(${PROJECT_SOURCE_DIR}/tests/support ${PROJECT_BINARY_DIR}/tests/support)

add_executable(store_tests
  StoreStatementsTest.cpp StoreDbTest.cpp StoreToolTest.cpp TextPropertyTest.cpp)
target_include_directories(store_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(store_tests PRIVATE reminderdb_create GTest::gtest_main)
target_compile_definitions(store_tests PRIVATE QUORVEL_DB_TOOL="$<TARGET_FILE:QuorvelDb>")
add_dependencies(store_tests quorvel_odbc_shim QuorvelDb)
gtest_discover_tests(store_tests DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "ODBCSYSINI=${QUORVEL_ODBCSYSINI}")
