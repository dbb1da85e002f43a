# Plovex in the tray beside the floor of any Qt graph (idle_floor), side by
# side in one run: CPU, resident set and wake-ups, with their ratios. Run by
# hand for the figures:
#   bench/idle_cost.sh build/shell/plovex build/bench/idle_floor [--seconds 3600]
if(TARGET plovex_desktop)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(idle_floor ${CMAKE_CURRENT_LIST_DIR}/idle_floor.cpp)
  target_link_libraries(idle_floor PRIVATE Qt6::Widgets)

  # Proves only that the benchmark runs and prints its figures; the figures
  # themselves are read by people, never asserted in a test.
  add_test(NAME agent.gui.IdleCostBenchmarkPrintsItsFigures
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/idle_cost.sh $<TARGET_FILE:plovex>
            $<TARGET_FILE:idle_floor> --warmup 3 --seconds 4)
  set_tests_properties(agent.gui.IdleCostBenchmarkPrintsItsFigures PROPERTIES
    FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent TIMEOUT 120
    ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent"
    PASS_REGULAR_EXPRESSION "wake-ups a second +[0-9.]+ +[0-9.]+")
endif()
