# The desktop window's memory over thousands of ticks with its tray icon shown.
if(TARGET plovex_desktop)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(tray_soak ${CMAKE_CURRENT_LIST_DIR}/tray_soak.cpp)
  target_link_libraries(tray_soak PRIVATE plovex_desktop plovex_core_testing plovex_settings_testing
                                          Qt6::Widgets)

  # On Xvfb with wmdocker the resident set stays flat: the window and its
  # tray icon after the first minute, and with Plovex.gif written on every
  # tick once the GIF coder's dictionary has settled.
  add_test(NAME gui.XvfbTraySoakKeepsTheMemoryFlat
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/tray_soak.sh $<TARGET_FILE:tray_soak>
            --no-gif --warmup 60 --ticks 2000 --max-growth-kb 100)
  add_test(NAME gui.XvfbTraySoakWithGifFilesKeepsTheMemoryFlat
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/tray_soak.sh $<TARGET_FILE:tray_soak>
            --warmup 600 --ticks 2000 --max-growth-kb 100)
  set_tests_properties(gui.XvfbTraySoakKeepsTheMemoryFlat
    gui.XvfbTraySoakWithGifFilesKeepsTheMemoryFlat PROPERTIES TIMEOUT 180)
endif()
