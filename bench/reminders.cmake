# The two minute checks over full tables, read through the stand-in Access
# driver (tests/support).
add_executable(reminder_bench ReminderBench.cpp)
target_link_libraries(reminder_bench PRIVATE anniversarycore alarmcore reminderdb_create benchmark::benchmark)
target_compile_definitions(reminder_bench PRIVATE
  QUORVEL_ODBCSYSINI="${PROJECT_BINARY_DIR}/tests/support")
add_dependencies(reminder_bench quorvel_odbc_shim)
