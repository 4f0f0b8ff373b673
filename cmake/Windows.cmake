# The Windows program and the Windows-only test programs.
enable_language(RC)

# Moves a program's symbols into NAME.exe.debug beside it, where gdb and
# addr2line find them, and leaves the program as it ships. Under Wine they
# would cost their whole size in private memory: it reads every section of
# an image whose sections are not page-aligned in the file into memory of
# the process, the debug sections too (about 6 MB for softveil).
function(softveil_separate_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE_NAME:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

add_executable(softveil WIN32
  app/main_win32.cpp
  app/installer_step_win32.cpp
  common/dialog_base_win32.cpp
  common/language_win32.cpp
  common/popup_menu_win32.cpp
  common/autostart_win32.cpp
  common/settings_file_win32.cpp
  app/tray_icon_win32.cpp
  app/monitors_win32.cpp
  app/programs_win32.cpp
  settings/hotkey_win32.cpp
  app/control_dlg_win32.cpp
  mask/mask_dlg_win32.cpp
  mask/mask_surface_win32.cpp
  mask/grab_handle_win32.cpp
  mask/guide_region_win32.cpp
  mask/reading_hotkeys_win32.cpp
  mask/follow_win32.cpp
  dialogs/settings_dlg_win32.cpp
  dialogs/autostart_box_win32.cpp
  dialogs/more_settings_dlg_win32.cpp
  dialogs/color_swatch_win32.cpp
  dialogs/about_dlg_win32.cpp
  dialogs/link_label_win32.cpp
  res/softveil.rc
  res/softveil_zh.rc
  res/softveil_en.rc
)
# The manifest names the version too: it is made from res/version.h, the one
# place the version is written, and found by windres in the build's res/.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS res/version.h)
file(STRINGS res/version.h SOFTVEIL_VERSION_LINE REGEX "^#define SOFTVEIL_VERSION ")
string(REGEX REPLACE "^#define SOFTVEIL_VERSION +([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+).*$" "\\1.\\2.\\3.\\4"
       SOFTVEIL_VERSION_DOTTED "${SOFTVEIL_VERSION_LINE}")
if(NOT SOFTVEIL_VERSION_DOTTED MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "res/version.h: no SOFTVEIL_VERSION a, b, c, d")
endif()
configure_file(res/softveil.manifest.in res/softveil.manifest @ONLY)
# windres does not see the files the scripts include.
set_source_files_properties(res/softveil.rc PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_CURRENT_BINARY_DIR}/res"
  OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/res/version.h;${CMAKE_CURRENT_SOURCE_DIR}/res/resource.h;${CMAKE_CURRENT_SOURCE_DIR}/res/softveil.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/colors.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/link.cur;${CMAKE_CURRENT_BINARY_DIR}/res/softveil.manifest")
set_source_files_properties(res/softveil_zh.rc res/softveil_en.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/res/resource.h")
target_compile_definitions(softveil PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(softveil PRIVATE -municode)
target_link_libraries(softveil PRIVATE softveil_core comctl32 shell32 gdi32 user32 advapi32 oleacc ole32 oleaut32)
set_target_properties(softveil PROPERTIES OUTPUT_NAME softveil)
softveil_separate_debug_info(softveil)

# The INI store against the platform's own profile functions.
add_executable(ini_differential_test tests/win/ini_differential_test.cpp)
target_compile_definitions(ini_differential_test PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(ini_differential_test PRIVATE softveil_core ${SOFTVEIL_GTEST_MAIN})
softveil_test_cases(ini_differential_test TEST_PREFIX "ini_differential.")

# Command lines and paths against CommandLineToArgvW and GetFullPathNameW.
add_executable(command_line_differential_test tests/win/command_line_differential_test.cpp)
target_compile_definitions(command_line_differential_test PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(command_line_differential_test PRIVATE softveil_core shell32 ${SOFTVEIL_GTEST_MAIN})
softveil_test_cases(command_line_differential_test TEST_PREFIX "command_line_differential.")

# The end-to-end harness: drives the real softveil.exe from outside. Built
# once, for the end-to-end suite, the soak, the demo and the benchmark.
add_library(e2e_harness STATIC tests/e2e/harness.cpp tests/e2e/reader_test.cpp)
target_compile_definitions(e2e_harness PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(e2e_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(e2e_harness PUBLIC ${SOFTVEIL_GTEST} comctl32 psapi shell32 gdi32 user32)

# Loaded into softveil by the end-to-end tests to read its popup menus (see
# tests/e2e/menu_probe.cpp); it must load without any DLL of the toolchain's.
add_library(menu_probe SHARED tests/e2e/menu_probe.cpp)
target_include_directories(menu_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(menu_probe PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(menu_probe PRIVATE -static -static-libgcc)
set_target_properties(menu_probe PROPERTIES PREFIX "")

# End-to-end: drives the real softveil.exe as a user and as other programs
# would. The cases move the one pointer and open windows on the one display,
# so they run alone. softveil.exe and menu_probe.dll are found beside the
# test program.
add_executable(e2e_tests
  tests/e2e/startup_test.cpp
  tests/e2e/mask_test.cpp
  tests/e2e/dialogs_test.cpp
  tests/e2e/hostile_test.cpp
  tests/e2e/faults_test.cpp
  tests/e2e/accidents_test.cpp
  tests/e2e/command_line_test.cpp
  tests/e2e/monitors_test.cpp
  tests/e2e/keyboard_test.cpp
  tests/e2e/more_settings_test.cpp
  tests/e2e/styles_test.cpp
  tests/e2e/language_test.cpp
  tests/e2e/dialog_fit_test.cpp
  tests/e2e/follow_test.cpp
  common/language_win32.cpp
)
target_link_libraries(e2e_tests PRIVATE e2e_harness softveil_core ${SOFTVEIL_GTEST_MAIN})
add_dependencies(e2e_tests softveil menu_probe)
# softveil speaks the language of the locale it runs in (Wine takes it from
# LC_ALL): the suite runs in Chinese, and the language cases once more in
# English. A discovered case carries one environment variable only.
softveil_test_cases(e2e_tests TEST_PREFIX "e2e." TEST_FILTER "-SecondMonitor.*:HighDpi.*"
  PROPERTIES ENVIRONMENT "LC_ALL=zh_CN.UTF-8" TIMEOUT 120 RUN_SERIAL TRUE LABELS e2e)
softveil_test_cases(e2e_tests TEST_PREFIX "e2e.english." TEST_FILTER "LanguageTest.*" EXTRA_ARGS --language=en
  PROPERTIES ENVIRONMENT "LC_ALL=en_US.UTF-8" TIMEOUT 120 RUN_SERIAL TRUE LABELS e2e)
# The cases for two monitors and for 144 DPI need a configuration of their
# own, which scripts/test sets up for the tests labelled with it.
foreach(arrangement right left)
  softveil_test_cases(e2e_tests TEST_PREFIX "e2e.${arrangement}." TEST_FILTER "SecondMonitor.*"
    EXTRA_ARGS --monitors=${arrangement} --layout-script=${CMAKE_CURRENT_SOURCE_DIR}/scripts/monitor_layout
    PROPERTIES ENVIRONMENT "LC_ALL=zh_CN.UTF-8" TIMEOUT 120 RUN_SERIAL TRUE LABELS monitors-${arrangement})
endforeach()
softveil_test_cases(e2e_tests TEST_PREFIX "e2e.dpi144." TEST_FILTER "HighDpi.*" EXTRA_ARGS --dpi=144
  PROPERTIES ENVIRONMENT "LC_ALL=zh_CN.UTF-8" TIMEOUT 120 RUN_SERIAL TRUE LABELS dpi144)

# The headless demo of scripts/run.
add_executable(demo tests/demo/demo.cpp)
target_link_options(demo PRIVATE -municode)
target_link_libraries(demo PRIVATE e2e_harness)
add_dependencies(demo softveil)

# The benchmark of scripts/bench: built with everything else so CI compiles
# it, but never run as a test (its figures are not pass or fail).
add_executable(bench tests/bench/bench_win.cpp mask/guide_region_win32.cpp)
target_link_options(bench PRIVATE -municode)
target_link_libraries(bench PRIVATE softveil_core e2e_harness)
add_dependencies(bench softveil)
# Its idle part is the floor an empty program is measured by.
softveil_separate_debug_info(bench)

# The soak: one softveil driven for minutes (tracking ticks, band drags,
# dialog openings) while its memory and handles are watched. It moves the
# pointer and opens windows, so it runs alone.
add_executable(soak_tests tests/soak/soak_test.cpp)
target_link_libraries(soak_tests PRIVATE e2e_harness ${SOFTVEIL_GTEST_MAIN})
add_dependencies(soak_tests softveil)
add_test(NAME soak_tests COMMAND soak_tests)
set_tests_properties(soak_tests PROPERTIES
  ENVIRONMENT "LC_ALL=zh_CN.UTF-8"
  TIMEOUT 1800
  RUN_SERIAL TRUE
  LABELS soak)

# The packages under Wine (scripts/test runs it after scripts/package, in a
# prefix of its own, so it is no ctest test).
add_executable(package_tests tests/package/package_test.cpp)
target_link_libraries(package_tests PRIVATE e2e_harness ${SOFTVEIL_GTEST_MAIN} msi version ole32 uuid)
