# The Windows program and the Windows-only test programs.
enable_language(RC)

add_executable(softveil WIN32
  app/main_win32.cpp
  common/dialog_base_win32.cpp
  common/popup_menu_win32.cpp
  app/tray_icon_win32.cpp
  app/monitors_win32.cpp
  settings/hotkey_win32.cpp
  app/control_dlg_win32.cpp
  mask/mask_dlg_win32.cpp
  dialogs/settings_dlg_win32.cpp
  dialogs/color_swatch_win32.cpp
  dialogs/about_dlg_win32.cpp
  dialogs/link_label_win32.cpp
  res/softveil.rc
)
# windres does not see the files the script includes.
set_source_files_properties(res/softveil.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/res/softveil.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/colors.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/link.cur;${CMAKE_CURRENT_SOURCE_DIR}/res/softveil.manifest")
target_compile_definitions(softveil PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(softveil PRIVATE -municode)
target_link_libraries(softveil PRIVATE softveil_core comctl32 comdlg32 shell32 gdi32 user32)
set_target_properties(softveil PROPERTIES OUTPUT_NAME softveil)

# The INI store against the platform's own profile functions.
add_executable(ini_differential_test tests/win/ini_differential_test.cpp)
target_compile_definitions(ini_differential_test PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(ini_differential_test PRIVATE softveil_core ${SOFTVEIL_GTEST_MAIN})
add_test(NAME ini_differential_test COMMAND ini_differential_test)

# End-to-end: drives the real softveil.exe as a user and as other programs would.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(e2e_tests ${E2E_SOURCES})
target_compile_definitions(e2e_tests PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(e2e_tests PRIVATE softveil_core ${SOFTVEIL_GTEST} comctl32 psapi shell32 gdi32 user32)
add_dependencies(e2e_tests softveil)
# The cases for two monitors and for 144 DPI need a configuration of their
# own, which scripts/test sets up for the tests labelled with it.
add_test(NAME e2e_tests COMMAND e2e_tests --gtest_filter=-SecondMonitor.*:HighDpi.*)
set_tests_properties(e2e_tests PROPERTIES
  ENVIRONMENT "SOFTVEIL_EXE=$<TARGET_FILE:softveil>"
  TIMEOUT 1500)
foreach(arrangement right left)
  add_test(NAME e2e_monitors_${arrangement} COMMAND e2e_tests --gtest_filter=SecondMonitor.*)
  set_tests_properties(e2e_monitors_${arrangement} PROPERTIES
    ENVIRONMENT "SOFTVEIL_EXE=$<TARGET_FILE:softveil>;SOFTVEIL_E2E_MONITORS=${arrangement};SOFTVEIL_E2E_LAYOUT_SCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/scripts/monitor_layout"
    TIMEOUT 600
    LABELS monitors-${arrangement})
endforeach()
add_test(NAME e2e_dpi144 COMMAND e2e_tests --gtest_filter=HighDpi.*)
set_tests_properties(e2e_dpi144 PROPERTIES
  ENVIRONMENT "SOFTVEIL_EXE=$<TARGET_FILE:softveil>;SOFTVEIL_E2E_DPI=144"
  TIMEOUT 600
  LABELS dpi144)

# The headless demo of scripts/run.
add_executable(demo tests/demo/demo.cpp tests/e2e/harness.cpp)
target_compile_definitions(demo PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(demo PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_options(demo PRIVATE -municode)
target_link_libraries(demo PRIVATE gdi32 user32)
add_dependencies(demo softveil)

# The benchmark of scripts/bench: built with everything else so CI compiles
# it, but never run as a test (its figures are not pass or fail).
add_executable(bench tests/bench/bench_win.cpp tests/e2e/harness.cpp)
target_compile_definitions(bench PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_options(bench PRIVATE -municode)
target_link_libraries(bench PRIVATE softveil_core shell32 gdi32 user32)
add_dependencies(bench softveil)

# The soak: one softveil driven for minutes (tracking ticks, band drags,
# dialog openings) while its memory and handles are watched. It moves the
# pointer and opens windows, so it runs alone.
add_executable(soak_tests tests/soak/soak_test.cpp tests/e2e/harness.cpp)
target_compile_definitions(soak_tests PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(soak_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(soak_tests PRIVATE ${SOFTVEIL_GTEST_MAIN} psapi shell32 gdi32 user32)
add_dependencies(soak_tests softveil)
add_test(NAME soak_tests COMMAND soak_tests)
set_tests_properties(soak_tests PROPERTIES
  ENVIRONMENT "SOFTVEIL_EXE=$<TARGET_FILE:softveil>"
  TIMEOUT 1800
  RUN_SERIAL TRUE
  LABELS soak)
