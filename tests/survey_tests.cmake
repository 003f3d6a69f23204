# survey tests: stations and stakeout, the legal description, the curve diagram, the
# survey of one curve rendered as text and JSON, coordinates and the exchange files.
add_bendwise_test(survey_stationing_test survey/StationingTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_legal_description_test survey/LegalDescriptionTest.cpp
                  LIBS bendwise::survey)
add_bendwise_test(survey_curve_diagram_test survey/CurveDiagramTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_curve_survey_test survey/CurveSurveyTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_exchange_files_test survey/ExchangeFilesTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_length_figure_test survey/LengthFigureTest.cpp LIBS bendwise::survey)
