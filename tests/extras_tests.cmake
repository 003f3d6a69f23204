# extras tests: stations and stakeout, legal description, JSON, the curve diagram, and
# the options of bendwise-cli that reach them, run end to end.
add_bendwise_test(extras_stationing_test extras/StationingTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_legal_description_test extras/LegalDescriptionTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_curve_diagram_test extras/CurveDiagramTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_options_test extras/ExtrasTest.cpp LIBS bendwise_extras)

# Bad values of the extra options: exit 2, one line on standard error, nothing written.
function(add_extras_usage_error_test name expected)
  add_test(NAME ${name}
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/extras/expect_usage_error.sh
            $<TARGET_FILE:bendwise-cli> ${expected} ${ARGN})
endfunction()
set(writes --svg curve.svg --output report.txt --describe radius=1000)
add_extras_usage_error_test(extras_cli_stakeout_zero
  "bendwise-cli: --stakeout: the interval must be a positive length, not '0'"
  --pi-station 25+50 --stakeout 0 ${writes})
add_extras_usage_error_test(extras_cli_stakeout_negative
  "bendwise-cli: --stakeout: the interval must be a positive length, not '-5'"
  --pi-station 25+50 --stakeout -5 ${writes})
add_extras_usage_error_test(extras_cli_pi_station_malformed
  "bendwise-cli: --pi-station: '12+3x' is not a station (25+50, 25+50.00 or 2550)"
  ${writes} --pi-station 12+3x)
add_extras_usage_error_test(extras_cli_bad_value_stops_batch
  "bendwise-cli: --pi-station: '25+5' is not a station (25+50, 25+50.00 or 2550)"
  --batch lines.txt ${writes} --pi-station=25+5)
add_extras_usage_error_test(extras_cli_stakeout_without_pi_station
  "bendwise-cli: --stakeout needs --pi-station to know where the curve lies"
  --stakeout 50 ${writes})
add_extras_usage_error_test(extras_cli_stationing_unknown
  "bendwise-cli: --stationing takes arc or chord, not 'spiral'"
  --pi-station 100 --stationing spiral ${writes})

add_bendwise_test(extras_cli_test extras/ExtrasCliTest.cpp LIBS bendwise_extras)
target_compile_definitions(extras_cli_test PRIVATE BENDWISE_CLI="$<TARGET_FILE:bendwise-cli>")
add_dependencies(extras_cli_test bendwise-cli)
