# cli tests: the shell-word splitter, and the built bendwise-cli run end to end.
add_bendwise_test(cli_shell_words_test cli/ShellWordsTest.cpp LIBS bendwise_cli_lib)

add_bendwise_test(cli_end_to_end_test cli/CliEndToEndTest.cpp)
target_compile_definitions(cli_end_to_end_test PRIVATE
  BENDWISE_CLI="$<TARGET_FILE:bendwise-cli>"
  BENDWISE_CLI_DATA="${CMAKE_CURRENT_SOURCE_DIR}/cli/data")
add_dependencies(cli_end_to_end_test bendwise-cli)
