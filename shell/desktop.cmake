# The desktop window (Qt): TForm1, the tray icon, the error display, and the
# program's start-up; linked into the plovex program, whose main() starts the
# window when given no arguments. Its tests drive the real widgets under the
# offscreen platform; one starts the real program under Xvfb against the local
# SNMP agent.
find_package(Qt6 REQUIRED COMPONENTS Widgets DBus Test)

add_library(plovex_desktop STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/corner_keeper.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop_notifier.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop_program.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/desktop_tray_presence.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/error_display.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pixel_icon_engine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/screen_place.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/termination_signals.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tform1.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/thistory_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/timage.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tray_presence.h
  ${CMAKE_CURRENT_SOURCE_DIR}/tstatus_strip.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ttray_icon.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/window_platform.cpp)
set_target_properties(plovex_desktop PROPERTIES AUTOMOC ON)
target_include_directories(plovex_desktop PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(plovex_desktop PUBLIC plovex_panel plovex_core Qt6::Widgets Qt6::DBus)
qt_add_resources(plovex_desktop plovex_icon
  PREFIX /plovex
  BASE ${PROJECT_SOURCE_DIR}/data
  FILES ${PROJECT_SOURCE_DIR}/data/plovex.png)

if(TARGET plovex)
  target_link_libraries(plovex PRIVATE plovex_desktop)
  target_compile_definitions(plovex PRIVATE PLOVEX_DESKTOP=1)
endif()

# The desktop tests' own helpers (shell/testing, headers only).
add_library(plovex_shell_testing INTERFACE)
target_link_libraries(plovex_shell_testing INTERFACE plovex_desktop plovex_settings_testing)

add_executable(desktop_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/corner_keeper_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/error_display_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pixel_icon_engine_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/screen_place_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/timage_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ttray_icon_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tform1_test.cpp)
target_link_libraries(desktop_tests PRIVATE plovex_shell_testing plovex_panel_testing plovex_qt_test_main)
gtest_discover_tests(desktop_tests TEST_PREFIX "gui.shell." DISCOVERY_TIMEOUT 60
  DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The History window on a virtual X display, over a store a test helper fills.
add_executable(history_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/thistory_window_test.cpp)
target_link_libraries(history_window_tests PRIVATE plovex_desktop plovex_history_testing
  plovex_qt_test_main)
add_test(NAME gui.shell.XvfbHistoryWindowShowsAYearOfTraffic
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/history_xvfb_test.sh $<TARGET_FILE:history_window_tests>)
set_tests_properties(gui.shell.XvfbHistoryWindowShowsAYearOfTraffic PROPERTIES TIMEOUT 60)

add_executable(desktop_agent_tests ${CMAKE_CURRENT_SOURCE_DIR}/tform1_agent_test.cpp)
target_link_libraries(desktop_agent_tests PRIVATE plovex_shell_testing plovex_panel_testing plovex_qt_test_main)
target_compile_definitions(desktop_agent_tests PRIVATE PLOVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
gtest_discover_tests(desktop_agent_tests TEST_PREFIX "agent.gui.shell." DISCOVERY_TIMEOUT 60
  DISCOVERY_MODE PRE_TEST
  PROPERTIES FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent
             ENVIRONMENT "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent"
             ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen")

# The window as a native Wayland client, under weston.
add_executable(desktop_wayland_tests ${CMAKE_CURRENT_SOURCE_DIR}/tform1_wayland_test.cpp)
target_link_libraries(desktop_wayland_tests PRIVATE plovex_shell_testing plovex_panel_testing plovex_qt_test_main)
add_test(NAME gui.shell.WaylandWindowLeavesMovesStackingAndPlacesToTheCompositor
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wayland_tests.sh $<TARGET_FILE:desktop_wayland_tests>)
set_tests_properties(gui.shell.WaylandWindowLeavesMovesStackingAndPlacesToTheCompositor
  PROPERTIES TIMEOUT 60)

# The real program, driven by a script here:
#   plovex_program_test(NAME SCRIPT TIMEOUT [ARGUMENTS...])
# runs SCRIPT PLOVEX ARGUMENTS...; a NAME beginning "agent." gets the local
# SNMP agent, and the script the agent's own script as its next argument.
function(plovex_program_test name script timeout)
  set(env "PLOVEX_DEFAULT_HIVE=$<TARGET_FILE:plovex_default_hive>")
  set(properties TIMEOUT ${timeout})
  set(arguments ${ARGN})
  if(name MATCHES "^agent\\.")
    list(APPEND properties FIXTURES_REQUIRED snmp_agent RESOURCE_LOCK snmp_agent)
    set(env "PLOVEX_AGENT_DIR=${PROJECT_BINARY_DIR}/agent;${env}")
    list(PREPEND arguments ${PROJECT_SOURCE_DIR}/tests/fixtures/snmp_agent.sh)
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/${script} $<TARGET_FILE:plovex> ${arguments})
  set_tests_properties(${name} PROPERTIES ${properties} ENVIRONMENT "${env}")
endfunction()

if(TARGET plovex)
  # On a virtual X display with a tray host, against the agent.
  plovex_program_test(agent.gui.XvfbWindowAndTrayShowTheTraffic desktop_xvfb_test.sh 90)
  # With a StatusNotifier tray on a private session bus instead: clicks and
  # the menu on the item, one update of each kind per tick.
  plovex_program_test(agent.gui.XvfbStatusNotifierTrayClicksMenuAndUpdates
    desktop_status_notifier_xvfb_test.sh 180)
  # As a native Wayland client of weston, without a tray and with a
  # StatusNotifier one: mapped, drawn, silent on standard error.
  plovex_program_test(agent.gui.WestonWindowShowsTheTrafficWithoutATray desktop_wayland_test.sh 90)
  plovex_program_test(agent.gui.WestonWindowShowsTheTrafficWithAStatusNotifierTray
    desktop_wayland_test.sh 90 --status-notifier)
  # Desktop notifications through a notification daemon double: one when the
  # agent stops answering (none for one lost reply), replaced when it answers;
  # without a session bus, nothing said.
  plovex_program_test(agent.gui.XvfbNotifiesWhenTheAgentStopsAndAnswersAgain
    desktop_notify_xvfb_test.sh 150)
  # A silent agent: the status strip over the picture, not in its file.
  plovex_program_test(agent.gui.XvfbStatusStripSaysTheAgentIsSilent desktop_strip_xvfb_test.sh 90)
  # The same at two device pixels per pixel: twice the size, crisp, never blurred.
  plovex_program_test(agent.gui.XvfbHighDensityScreenShowsCrispPixels
    desktop_hidpi_xvfb_test.sh 90)
  # With a settings folder it cannot write: every termination signal still
  # ends it, window and headless alike.
  plovex_program_test(gui.SignalsEndPlovexWhenItsSettingsCannotBeSaved signal_close_test.sh 180
    ${PROJECT_SOURCE_DIR}/scripts/demo-hive)
  # Under a real window manager (openbox) on Xvfb: no resize and no maximise
  # offered, the client sizes and the corner kept by border toggles, toggles
  # after a restore by the window manager, and closing while an error box is
  # open.
  plovex_program_test(gui.XvfbWindowManagerTogglesRestoresAndCloses desktop_wm_xvfb_test.sh 120)
endif()

# The README's path in a fresh clone (of the committed tree): scripts/run,
# then scripts/demo, without a display. It builds the clone from scratch.
add_test(NAME gui.ReadmePathRunThenDemoInAFreshClone
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/readme_path_test.sh ${PROJECT_SOURCE_DIR})
set_tests_properties(gui.ReadmePathRunThenDemoInAFreshClone PROPERTIES TIMEOUT 3000
  SKIP_RETURN_CODE 77)
