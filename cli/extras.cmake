# Diagram, legal description, stations, stakeout table and JSON for bendwise-cli, as a
# library of their own so that the tests link them without main.
add_library(bendwise_extras STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CurveDiagram.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Extras.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JsonWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LegalDescription.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stationing.cpp
)
target_include_directories(bendwise_extras PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(bendwise_extras PUBLIC bendwise::core)
bendwise_target_defaults(bendwise_extras)
target_link_libraries(bendwise-cli PRIVATE bendwise_extras)
