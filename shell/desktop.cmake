# The desktop window (Qt): TForm1, the tray icon, the error display, and the
# program's start-up; linked into the plovex program, whose main() starts the
# window when given no arguments. Its tests drive the real widgets under the
# offscreen platform; one starts the real program under Xvfb against the local
# SNMP agent.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_library(plovex_desktop STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop_program.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/error_display.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pixel_icon_engine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/termination_signals.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tform1.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/timage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ttray_icon.cpp)
set_target_properties(plovex_desktop PROPERTIES AUTOMOC ON)
target_include_directories(plovex_desktop PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(plovex_desktop PUBLIC plovex_panel plovex_core Qt6::Widgets)
qt_add_resources(plovex_desktop plovex_icon
  PREFIX /plovex
  BASE ${PROJECT_SOURCE_DIR}/data
  FILES ${PROJECT_SOURCE_DIR}/data/plovex.png)

if(TARGET plovex)
  target_link_libraries(plovex PRIVATE plovex_desktop)
  target_compile_definitions(plovex PRIVATE PLOVEX_DESKTOP=1)
endif()

add_executable(desktop_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/error_display_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pixel_icon_engine_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/timage_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ttray_icon_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tform1_test.cpp)
target_link_libraries(desktop_tests PRIVATE plovex_desktop plovex_panel_testing plovex_qt_test_main)
gtest_discover_tests(desktop_tests TEST_PREFIX "gui.shell." DISCOVERY_TIMEOUT 60
  DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

add_executable(desktop_agent_tests ${CMAKE_CURRENT_SOURCE_DIR}/tform1_agent_test.cpp)
target_link_libraries(desktop_agent_tests PRIVATE plovex_desktop plovex_panel_testing plovex_qt_test_main)
target_compile_definitions(desktop_agent_tests PRIVATE PLOVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
gtest_discover_tests(desktop_agent_tests TEST_PREFIX "agent.gui.shell." DISCOVERY_TIMEOUT 60
  DISCOVERY_MODE PRE_TEST
  PROPERTIES FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent
             ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent"
             ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen")

# The real program on a virtual X display with a tray host, against the agent.
if(TARGET plovex)
  add_test(NAME agent.gui.XvfbWindowAndTrayShowTheTraffic
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktop_xvfb_test.sh $<TARGET_FILE:plovex>
            ${PROJECT_SOURCE_DIR}/tests/fixtures/snmp_agent.sh)
  set_tests_properties(agent.gui.XvfbWindowAndTrayShowTheTraffic PROPERTIES
    FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent TIMEOUT 90
    ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent;PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")
endif()

# The real program with a settings folder it cannot write: every termination
# signal still ends it, window and headless alike.
if(TARGET plovex)
  add_test(NAME gui.SignalsEndPlovexWhenItsSettingsCannotBeSaved
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/signal_close_test.sh $<TARGET_FILE:plovex>
            ${PROJECT_SOURCE_DIR}/scripts/demo-hive)
  set_tests_properties(gui.SignalsEndPlovexWhenItsSettingsCannotBeSaved PROPERTIES TIMEOUT 180
    ENVIRONMENT "PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")
endif()

# The same at two device pixels per pixel: twice the size, crisp, never blurred.
if(TARGET plovex)
  add_test(NAME agent.gui.XvfbHighDensityScreenShowsCrispPixels
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktop_hidpi_xvfb_test.sh $<TARGET_FILE:plovex>
            ${PROJECT_SOURCE_DIR}/tests/fixtures/snmp_agent.sh)
  set_tests_properties(agent.gui.XvfbHighDensityScreenShowsCrispPixels PROPERTIES
    FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent TIMEOUT 90
    ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent;PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")
endif()

# The real program under a real window manager (openbox) on Xvfb: no resize
# and no maximise offered, the client sizes and the corner kept by border
# toggles, toggles after a restore by the window manager, and closing while
# an error box is open.
if(TARGET plovex)
  add_test(NAME gui.XvfbWindowManagerTogglesRestoresAndCloses
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktop_wm_xvfb_test.sh $<TARGET_FILE:plovex>)
  set_tests_properties(gui.XvfbWindowManagerTogglesRestoresAndCloses PROPERTIES TIMEOUT 120)
endif()
