# cli tests: the shell-word splitter and the survey options on their own, and the built
# bendwise-cli run end to end.
add_bendwise_test(cli_shell_words_test cli/ShellWordsTest.cpp LIBS bendwise_cli_lib)
add_bendwise_test(cli_survey_options_test cli/SurveyOptionsTest.cpp LIBS bendwise_cli_lib)

add_bendwise_test(cli_end_to_end_test cli/CliEndToEndTest.cpp)
target_compile_definitions(cli_end_to_end_test PRIVATE
  BENDWISE_CLI="$<TARGET_FILE:bendwise-cli>"
  BENDWISE_CLI_DATA="${CMAKE_CURRENT_SOURCE_DIR}/cli/data")
add_dependencies(cli_end_to_end_test bendwise-cli)

add_bendwise_test(cli_survey_test cli/SurveyCliTest.cpp LIBS bendwise::survey)
target_compile_definitions(cli_survey_test PRIVATE BENDWISE_CLI="$<TARGET_FILE:bendwise-cli>")
add_dependencies(cli_survey_test bendwise-cli)

# Bad values of the survey options: exit 2, one line on standard error, nothing written.
function(add_cli_usage_error_test name expected)
  add_test(NAME ${name}
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/expect_usage_error.sh
            $<TARGET_FILE:bendwise-cli> ${expected} ${ARGN})
endfunction()
set(writes --svg curve.svg --output report.txt --describe radius=1000)
add_cli_usage_error_test(cli_stakeout_zero
  "bendwise-cli: --stakeout: the interval must be a positive length, not '0'"
  --pi-station 25+50 --stakeout 0 ${writes})
add_cli_usage_error_test(cli_stakeout_negative
  "bendwise-cli: --stakeout: the interval must be a positive length, not '-5'"
  --pi-station 25+50 --stakeout -5 ${writes})
add_cli_usage_error_test(cli_pi_station_malformed
  "bendwise-cli: --pi-station: '12+3x' is not a station (25+50, 25+50.00 or 2550)"
  ${writes} --pi-station 12+3x)
add_cli_usage_error_test(cli_bad_value_stops_batch
  "bendwise-cli: --pi-station: '25+5' is not a station (25+50, 25+50.00 or 2550)"
  --batch lines.txt ${writes} --pi-station=25+5)
add_cli_usage_error_test(cli_stakeout_without_pi_station
  "bendwise-cli: --stakeout needs --pi-station or --pc-station to know where the curve lies"
  --stakeout 50 ${writes})
add_cli_usage_error_test(cli_stationing_unknown
  "bendwise-cli: --stationing takes arc or chord, not 'spiral'"
  --pi-station 100 --stationing spiral ${writes})
add_cli_usage_error_test(cli_pc_with_pi
  "bendwise-cli: --pc and --pi cannot be given together: the curve is placed from one point"
  --pc 5000,2000 --pi 5189,2189 --points p.txt --dxf c.dxf ${writes})
add_cli_usage_error_test(cli_pc_malformed
  "bendwise-cli: --pc: '5000' is not a northing and easting (N,E such as 5000,2000.5)"
  --landxml c.xml ${writes} --pc 5000)
add_cli_usage_error_test(cli_dxf_without_known_point
  "bendwise-cli: --dxf needs --pc or --pi to place the curve"
  --batch lines.txt --dxf c.dxf ${writes})

# The exchange files read back by readers of their own: ezdxf (Debian's python3-ezdxf, so
# the system interpreter) and xmllint, which validates every LandXML file against the
# LandXML 1.2 declarations the files use, on fifteen shapes of curve.
set(BENDWISE_SYSTEM_PYTHON /usr/bin/python3 CACHE FILEPATH "Python with python3-ezdxf")
add_test(NAME cli_exchange_readback
  COMMAND ${BENDWISE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/cli/exchange_readback.py
          $<TARGET_FILE:bendwise-cli> ${CMAKE_CURRENT_SOURCE_DIR}/cli/data/LandXML-1.2-subset.xsd)
set_tests_properties(cli_exchange_readback PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC")

# bendwise-cli's files under stress: concurrent runs on one report, a file size limit, a
# locked report, endless or unreadable batch input, a failed standard output, one file in
# two roles.
add_bendwise_test(cli_files_test cli/CliFilesTest.cpp)
target_compile_definitions(cli_files_test PRIVATE
  BENDWISE_CLI="$<TARGET_FILE:bendwise-cli>"
  BENDWISE_CLI_DATA="${CMAKE_CURRENT_SOURCE_DIR}/cli/data")
add_dependencies(cli_files_test bendwise-cli)
