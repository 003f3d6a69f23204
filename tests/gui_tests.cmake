# Calculator window tests: QTest executables on Qt's offscreen platform, no display needed.
find_package(Qt6 REQUIRED COMPONENTS Test)

function(add_bendwise_gui_test name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE bendwise::app Qt6::Test)
  bendwise_target_defaults(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C;TZ=UTC"
    TIMEOUT 120)
endfunction()

add_bendwise_gui_test(gui_curve_dlg_test gui/CurveDlgTest.cpp gui/ScriptedPlatform.h)
add_bendwise_gui_test(gui_curve_app_test gui/CurveAppTest.cpp gui/ScriptedPlatform.h)
add_bendwise_gui_test(gui_event_sound_test gui/EventSoundTest.cpp)

# Without any display `bendwise` says so in one line, points to bendwise-cli and fails.
add_test(NAME gui_no_display_message
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          $<TARGET_FILE:bendwise>)
set_tests_properties(gui_no_display_message PROPERTIES
  PASS_REGULAR_EXPRESSION "^bendwise: no graphical display .*bendwise-cli")
add_test(NAME gui_no_display_status
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          $<TARGET_FILE:bendwise>)
set_tests_properties(gui_no_display_status PROPERTIES WILL_FAIL TRUE)
