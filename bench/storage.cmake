# The reminder store read through the stand-in Access driver (tests/support).
add_executable(store_bench StoreBench.cpp)
target_include_directories(store_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(store_bench PRIVATE reminderdb_create benchmark::benchmark)
target_compile_definitions(store_bench PRIVATE
  QUORVEL_ODBCSYSINI="${PROJECT_BINARY_DIR}/tests/support")
add_dependencies(store_bench quorvel_odbc_shim)
