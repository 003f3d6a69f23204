# window monkey test: seeded random actions on the real calculator window (offscreen).
find_package(Qt6 REQUIRED COMPONENTS Test)

add_executable(gui_monkey_test monkey/CurveDlgMonkeyTest.cpp)
set_target_properties(gui_monkey_test PROPERTIES AUTOMOC ON)
target_link_libraries(gui_monkey_test PRIVATE bendwise::ui Qt6::Test)
target_include_directories(gui_monkey_test PRIVATE ${PROJECT_SOURCE_DIR})  # fuzz/ invariants
bendwise_target_defaults(gui_monkey_test)
add_test(NAME gui_monkey_test COMMAND gui_monkey_test)
# Four seeds of 2000 actions run in about 10 s; the limit leaves room for a
# sanitized build on a busy machine.
set_tests_properties(gui_monkey_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C;TZ=UTC"
  TIMEOUT 120)
