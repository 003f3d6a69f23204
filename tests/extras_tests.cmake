# extras tests: stations and stakeout, legal description, JSON, the curve diagram, and
# the options of bendwise-cli that reach them, run end to end.
add_bendwise_test(extras_stationing_test extras/StationingTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_legal_description_test extras/LegalDescriptionTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_curve_diagram_test extras/CurveDiagramTest.cpp LIBS bendwise_extras)
add_bendwise_test(extras_options_test extras/ExtrasTest.cpp LIBS bendwise_extras)
