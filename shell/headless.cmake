# The headless runner (a library, so that its tests link the same code), the
# plovex program, and the runner's tests: unit tests with in-memory seams, and
# one end-to-end run against the local SNMP agent.
add_library(plovex_headless STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/command_line.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/headless_runner.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/interface_lister.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/usage_reporter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/stored_settings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/signal_waiter_posix.cpp)
target_include_directories(plovex_headless PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(plovex_headless PRIVATE PLOVEX_VERSION="${PROJECT_VERSION}")
target_link_libraries(plovex_headless PUBLIC plovex_settings plovex_metrics)

add_executable(plovex ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(plovex PRIVATE plovex_headless)

add_executable(shell_headless_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/command_line_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/headless_runner_test.cpp)
target_link_libraries(shell_headless_tests PRIVATE plovex_headless plovex_settings_testing GTest::gtest_main GTest::gmock)
gtest_discover_tests(shell_headless_tests TEST_PREFIX "shell." DISCOVERY_TIMEOUT 60)

# A test script run against the local SNMP agent: NAME, the script, its
# arguments after the plovex program and the agent fixture, and TIMEOUT.
function(plovex_agent_script_test name script timeout)
  add_test(NAME ${name}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/${script}
            $<TARGET_FILE:plovex> ${PROJECT_SOURCE_DIR}/tests/fixtures/snmp_agent.sh ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent TIMEOUT ${timeout}
    ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent;PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")
endfunction()

plovex_agent_script_test(agent.shell.HeadlessRunDrawsTheTraffic headless_agent_test.py 60)

plovex_agent_script_test(agent.shell.HeadlessRunWithTheDefaultSettingsDrawsTheTraffic headless_agent_test.py 60 defaults)

add_test(NAME shell.HeadlessRunEndsWithinASecondOfASignalDuringASlowWalk
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/headless_interrupt_test.py
          $<TARGET_FILE:plovex> ${PROJECT_SOURCE_DIR}/scripts/demo-hive)
set_tests_properties(shell.HeadlessRunEndsWithinASecondOfASignalDuringASlowWalk PROPERTIES
  TIMEOUT 60 ENVIRONMENT "PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")

add_test(NAME shell.CommandLineNeverStartsAWindowOrAPoll
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/command_line_program_test.py
          $<TARGET_FILE:plovex> ${PROJECT_SOURCE_DIR}/scripts/demo-hive)
set_tests_properties(shell.CommandLineNeverStartsAWindowOrAPoll PROPERTIES TIMEOUT 60
  ENVIRONMENT "PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")

foreach(mode v2c v3)
  plovex_agent_script_test(agent.shell.HeadlessRunInVersion_${mode}_DrawsTheTraffic
                           headless_agent_test.py 60 ${mode})
endforeach()

plovex_agent_script_test(agent.shell.HeadlessRunOverIpv6DrawsTheTraffic headless_agent_test.py 60 ipv6)

# A working directory it cannot write: the pictures fail, told once; the
# ticks, the rates and the exit status go on as ever.
plovex_agent_script_test(agent.shell.HeadlessRunInAReadOnlyFolderTellsOnceAndGoesOn headless_agent_test.py 60 readonly)

plovex_agent_script_test(agent.shell.InterfacesAreListedAndFollowedByName interfaces_agent_test.py 90)

# The bytes the ticks counted, kept in the usage history and read back by
# plovex --usage=json, against the agent's own counters.
plovex_agent_script_test(agent.shell.HeadlessRunRecordsTheUsage headless_agent_test.py 60 usage)

# A real Prometheus server scrapes two headless runs with settings files of
# their own, one of them on IPv6, while pings cross the agent's interface.
plovex_agent_script_test(agent.shell.HeadlessMetricsAreScrapedByPrometheus metrics_agent_test.py 150 ${PROJECT_SOURCE_DIR}/scripts/demo-hive)
