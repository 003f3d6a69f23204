# math tests: the correctly rounded trigonometric functions against MPFR (libmpfr-dev), and
# the tables of math/TrigTables.inc against their generator (math/CMakeLists.txt).
if(TARGET bendwise_make_trig_tables)
  add_bendwise_test(math_trig_test math/TrigTest.cpp LIBS bendwise::math ${MPFR_LIBRARY} ${GMP_LIBRARY})
  target_include_directories(math_trig_test PRIVATE ${MPFR_INCLUDE_DIR})
  add_dependencies(math_trig_test bendwise_make_trig_tables)
  add_bendwise_test(ratio_root_test solver/RatioRootTest.cpp LIBS ${MPFR_LIBRARY} ${GMP_LIBRARY})
  target_include_directories(ratio_root_test PRIVATE ${MPFR_INCLUDE_DIR})
  add_test(NAME math_trig_tables
    COMMAND sh -c "\"$1\" | cmp - \"$2\"" sh $<TARGET_FILE:bendwise_make_trig_tables>
            ${PROJECT_SOURCE_DIR}/math/TrigTables.inc)
else()
  message(WARNING "MPFR not found (apt-get install libmpfr-dev): math_trig_test is not built")
endif()
