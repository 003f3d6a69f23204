# bendwise-cli's manual page and bash completion, generated in packaging/ from the program.
set(cli_docs ${PROJECT_BINARY_DIR}/packaging)
add_test(NAME packaging_cli_manual_page
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cli_docs_test.sh man
          $<TARGET_FILE:bendwise-cli> ${cli_docs}/bendwise-cli.1)
add_test(NAME packaging_cli_completion
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cli_docs_test.sh completion
          ${cli_docs}/bendwise-cli.bash)
