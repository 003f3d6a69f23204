# Calculator window tests: QTest executables on Qt's offscreen platform, no display needed.
find_package(Qt6 REQUIRED COMPONENTS Test)

function(add_bendwise_gui_test name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui ${CMAKE_CURRENT_SOURCE_DIR}
                                             ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE bendwise::app Qt6::Test)
  bendwise_target_defaults(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C;TZ=UTC"
    TIMEOUT 120)
endfunction()

add_bendwise_gui_test(gui_curve_dlg_test gui/CurveDlgTest.cpp gui/ScriptedPlatform.h)
target_compile_definitions(gui_curve_dlg_test PRIVATE
  BENDWISE_CLI_DATA="${CMAKE_CURRENT_SOURCE_DIR}/cli/data")
add_bendwise_gui_test(gui_curve_app_test gui/CurveAppTest.cpp gui/ScriptedPlatform.h)
add_bendwise_gui_test(gui_event_sound_test gui/EventSoundTest.cpp)

# Without any display `bendwise` says so in one line, points to bendwise-cli and fails.
add_test(NAME gui_no_display_message
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          $<TARGET_FILE:bendwise>)
set_tests_properties(gui_no_display_message PROPERTIES
  PASS_REGULAR_EXPRESSION "^bendwise: no graphical display .*bendwise-cli")
# ... with status 2 exactly (WILL_FAIL would take any failure, a crash included).
add_test(NAME gui_no_display_status
  COMMAND sh -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$1\" 2>/dev/null; test $? -eq 2"
          sh $<TARGET_FILE:bendwise>)
# A display named that cannot be opened (no X server there, no Wayland compositor): one
# line and status 2 as well, not Qt's messages and abort (status 134).
foreach(case "x11;DISPLAY=:9999;DISPLAY=':9999', WAYLAND_DISPLAY unset"
             "wayland;WAYLAND_DISPLAY=bendwise-no-compositor;DISPLAY unset, WAYLAND_DISPLAY='bendwise-no-compositor'")
  list(GET case 0 name)
  list(GET case 1 variable)
  list(GET case 2 described)
  add_test(NAME gui_display_cannot_be_opened_${name}
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM --unset=XDG_SESSION_TYPE ${variable}
            sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect_usage_error.sh $<TARGET_FILE:bendwise>
            "bendwise: cannot open the graphical display (${described}, QT_QPA_PLATFORM unset); use the command-line calculator instead: bendwise-cli --help")
endforeach()
add_bendwise_gui_test(gui_curve_windows_test gui/CurveWindowsTest.cpp gui/ScriptedPlatform.h)
# The curve from points and the field work are checked against what bendwise-cli prints.
add_dependencies(gui_curve_windows_test bendwise-cli)
target_compile_definitions(gui_curve_windows_test PRIVATE
  BENDWISE_CLI_PROGRAM="$<TARGET_FILE:bendwise-cli>")
# A desktop-sized screen, so that the windows have room beside the calculator.
set_tests_properties(gui_curve_windows_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/gui/screen-1920x1080.json;LC_ALL=C;TZ=UTC")

# The program on a dark theme, from the keyboard of any window, to a screen reader, with
# one save folder: on a desktop screen, and on a laptop's at scale factors 1 and 1.25.
add_bendwise_gui_test(gui_desktop_test gui/DesktopTest.cpp gui/ScriptedPlatform.h)
set_tests_properties(gui_desktop_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/gui/screen-1920x1080.json;LC_ALL=C;TZ=UTC")
foreach(scale 1 1.25)
  add_test(NAME gui_desktop_1366x768_scale_${scale}
    COMMAND gui_desktop_test stationsWindowFitsTheScreen windowsOpenBesideEachOther)
  set_tests_properties(gui_desktop_1366x768_scale_${scale} PROPERTIES TIMEOUT 60 ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/gui/screen-1366x768.json;QT_SCALE_FACTOR=${scale};LC_ALL=C;TZ=UTC")
endforeach()

# A small screen: 1280 x 1024 at scale factor 2 and 1366 x 768 at 1.25 leave less room than
# the calculator needs. The calculator's test, its small-screen case alone.
foreach(screen "1280x1024;2" "1366x768;1.25")
  list(GET screen 0 size)
  list(GET screen 1 scale)
  add_test(NAME gui_small_screen_${size}
    COMMAND gui_curve_dlg_test everyControlFitsOrScrollsIntoView)
  set_tests_properties(gui_small_screen_${size} PROPERTIES TIMEOUT 60
    FAIL_REGULAR_EXPRESSION "SKIP   :" PASS_REGULAR_EXPRESSION "PASS   : .*everyControlFitsOrScrollsIntoView"
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/gui/screen-${size}.json;QT_SCALE_FACTOR=${scale};LC_ALL=C;TZ=UTC")
endforeach()

# The calculator in a real X window (Xvfb, openbox, xdotool, xclip, ImageMagick): the three
# windows by their shortcuts, the diagram redrawn, the clipboard, the status line, a
# shortcut and Escape in a curve window, scale factor 2, a 1366 x 768 screen. About 10 s; skipped where the tools are missing, unless CI is set.
add_test(NAME gui_real_window_test
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/gui/real_window_test.sh
          $<TARGET_FILE:bendwise> $<TARGET_FILE:bendwise-cli>)
set_tests_properties(gui_real_window_test PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)

# The manual window (F1), on the source tree's README and its pictures.
add_bendwise_gui_test(gui_help_wnd_test gui/HelpWndTest.cpp gui/ScriptedPlatform.h)
target_compile_definitions(gui_help_wnd_test PRIVATE
  BENDWISE_TEST_README="${PROJECT_SOURCE_DIR}/README.md")
# --help and --version answer without a display, with status 0; --version names the
# licence. An argument Qt does not take is one line and status 2.
foreach(case "help;^usage: bendwise \\[--help \\| --version\\] \\[Qt options\\]\n.*F1.*\nstatus=0\n$"
             "version;^bendwise ${PROJECT_VERSION}\nCopyright \\(c\\) 2026 The Bendwise developers\nMIT licence[^\n]*\nstatus=0\n$")
  list(GET case 0 option)
  list(GET case 1 expected)
  add_test(NAME gui_${option}_without_display
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            sh -c "\"$1\" --${option} 2>&1; echo status=$?" sh $<TARGET_FILE:bendwise>)
  set_tests_properties(gui_${option}_without_display PROPERTIES PASS_REGULAR_EXPRESSION "${expected}")
endforeach()
# (Qt may warn about its runtime folder first, hence no exact match of standard error.)
add_test(NAME gui_unknown_argument
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          sh -c "\"$1\" --frobnicate 2>&1 >/dev/null; echo status=$?" sh $<TARGET_FILE:bendwise>)
set_tests_properties(gui_unknown_argument PROPERTIES PASS_REGULAR_EXPRESSION
  "(^|\n)bendwise: unknown argument '--frobnicate'; bendwise --help lists the options\nstatus=2\n$")

# The curve windows' sizes on a laptop's screen: texts whole, the diagram readable.
add_bendwise_gui_test(gui_window_sizes_test gui/WindowSizesTest.cpp gui/ScriptedPlatform.h)
set_tests_properties(gui_window_sizes_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/gui/screen-1366x768.json;LC_ALL=C;TZ=UTC")
