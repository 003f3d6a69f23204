# math tests: the correctly rounded trigonometric functions against MPFR (libmpfr-dev), and
# the tables of math/TrigTables.inc against their generator (math/CMakeLists.txt).

# The published hard-to-round arguments with their correctly rounded results, one file a
# function (CI clones the repository next to a copy of shared/). Without the folder the test
# is skipped, or fails when CI=true.
set(BENDWISE_MATH_HARD_CASES "${PROJECT_SOURCE_DIR}/../shared/math-hard-cases"
    CACHE PATH "Folder of the hard-to-round trigonometric arguments (math_hard_cases_test)")
add_bendwise_test(math_hard_cases_test math/TrigHardCasesTest.cpp LIBS bendwise::math)
target_compile_definitions(math_hard_cases_test
  PRIVATE BENDWISE_MATH_HARD_CASES="${BENDWISE_MATH_HARD_CASES}")
if(TARGET bendwise_make_trig_tables)
  add_bendwise_test(math_trig_test math/TrigTest.cpp LIBS bendwise::math ${MPFR_LIBRARY} ${GMP_LIBRARY})
  target_include_directories(math_trig_test PRIVATE ${MPFR_INCLUDE_DIR})
  add_dependencies(math_trig_test bendwise_make_trig_tables)
  # The same checks with math/Trig.cpp built so that every call goes through its last stage.
  add_bendwise_test(math_last_stage_test math/TrigTest.cpp ${PROJECT_SOURCE_DIR}/math/Trig.cpp
    LIBS ${MPFR_LIBRARY} ${GMP_LIBRARY})
  target_include_directories(math_last_stage_test PRIVATE ${MPFR_INCLUDE_DIR})
  target_compile_definitions(math_last_stage_test PRIVATE BENDWISE_TRIG_LAST_STAGE_ONLY)
  add_bendwise_test(ratio_root_test solver/RatioRootTest.cpp LIBS ${MPFR_LIBRARY} ${GMP_LIBRARY})
  target_include_directories(ratio_root_test PRIVATE ${MPFR_INCLUDE_DIR})
  add_test(NAME math_trig_tables
    COMMAND sh -c "\"$1\" | cmp - \"$2\"" sh $<TARGET_FILE:bendwise_make_trig_tables>
            ${PROJECT_SOURCE_DIR}/math/TrigTables.inc)
else()
  message(WARNING "MPFR not found (apt-get install libmpfr-dev): math_trig_test is not built")
endif()
