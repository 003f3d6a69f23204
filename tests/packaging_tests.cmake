# bendwise-cli's manual page and bash completion, generated in packaging/ from the program.
set(cli_docs ${PROJECT_BINARY_DIR}/packaging)
add_test(NAME packaging_cli_manual_page
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cli_docs_test.sh man
          $<TARGET_FILE:bendwise-cli> ${cli_docs}/bendwise-cli.1)
add_test(NAME packaging_cli_completion
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cli_docs_test.sh completion
          ${cli_docs}/bendwise-cli.bash)
# Both manual pages are clean under mandoc -Tlint and dated.
set(manual_pages ${cli_docs}/bendwise-cli.1)
if(BENDWISE_BUILD_GUI)
  list(APPEND manual_pages ${cli_docs}/bendwise.1)
endif()
add_test(NAME packaging_manual_pages_lint
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/cli_docs_test.sh lint ${manual_pages})
set_tests_properties(packaging_manual_pages_lint PROPERTIES SKIP_RETURN_CODE 77)
