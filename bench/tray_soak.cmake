# The desktop window's memory over thousands of ticks with its tray icon shown.
if(TARGET plovex_desktop)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(tray_soak ${CMAKE_CURRENT_LIST_DIR}/tray_soak.cpp)
  target_link_libraries(tray_soak PRIVATE plovex_desktop Qt6::Widgets)
endif()
