# core tests
add_bendwise_test(number_text_test text/NumberTextTest.cpp)
add_bendwise_test(angle_text_test text/AngleTextTest.cpp)
add_bendwise_test(ratio_inversion_test solver/RatioInversionTest.cpp)
add_bendwise_test(recalculate_test solver/RecalculateTest.cpp)
add_bendwise_test(entry_rules_test entry/EntryRulesTest.cpp)
target_compile_definitions(entry_rules_test PRIVATE
  BENDWISE_CLI_DATA="${CMAKE_CURRENT_SOURCE_DIR}/cli/data")
add_bendwise_test(report_test report/ReportTest.cpp)
