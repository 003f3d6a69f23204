# survey tests: stations and stakeout, the legal description, the curve diagram, the
# survey of one curve rendered as text and JSON, coordinates and the exchange files.
add_bendwise_test(survey_stationing_test survey/StationingTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_legal_description_test survey/LegalDescriptionTest.cpp
                  LIBS bendwise::survey)
add_bendwise_test(survey_curve_diagram_test survey/CurveDiagramTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_curve_survey_test survey/CurveSurveyTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_exchange_files_test survey/ExchangeFilesTest.cpp LIBS bendwise::survey)
add_bendwise_test(survey_length_figure_test survey/LengthFigureTest.cpp LIBS bendwise::survey)

# Curves from surveyed points (three on the arc; PC, RP, PT; PC, PI, PT), a point's station
# and offset, offset stakes and the shots of a setup; then the same worked at 50 digits by
# mpmath (Debian's python3-mpmath, so the system interpreter), skipped where mpmath is
# missing unless CI is set.
add_bendwise_test(survey_from_points_test survey/FromPointsTest.cpp LIBS bendwise::survey)
set(BENDWISE_SYSTEM_PYTHON /usr/bin/python3 CACHE FILEPATH "Python with python3-ezdxf")
add_test(NAME survey_from_points_mpmath
  COMMAND ${BENDWISE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/survey/from_points_check.py
          $<TARGET_FILE:survey_from_points_test>)
set_tests_properties(survey_from_points_mpmath PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC"
  SKIP_RETURN_CODE 77)

# Spiral curves (clothoid, equal spirals at both ends): published worked examples, the
# geometry's own invariants, then every element, station, stake and coordinate worked at
# 50 digits by mpmath from the Fresnel integrals, skipped where mpmath is missing unless CI
# is set.
add_bendwise_test(survey_spiral_test survey/SpiralTest.cpp LIBS bendwise::survey)
add_test(NAME survey_spiral_mpmath
  COMMAND ${BENDWISE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/survey/spiral_check.py
          $<TARGET_FILE:survey_spiral_test>)
set_tests_properties(survey_spiral_mpmath PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC"
  SKIP_RETURN_CODE 77)

# The files of a curve with spirals (points, LandXML, DXF, SVG) read back by ezdxf, an XML
# reader and mpmath's Fresnel integrals.
add_test(NAME survey_spiral_files
  COMMAND ${BENDWISE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/survey/spiral_files_check.py
          $<TARGET_FILE:bendwise-cli>)
set_tests_properties(survey_spiral_files PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC"
  SKIP_RETURN_CODE 77)

# The diagrams' labels over 3,000 curves and 200 with spirals, measured with the DejaVu
# fonts' own advance widths: on the canvas, 9 px or more, apart, off the curve.
add_test(NAME survey_diagram_labels
  COMMAND ${BENDWISE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/survey/diagram_labels_check.py
          $<TARGET_FILE:bendwise-cli> ${PROJECT_SOURCE_DIR}/bench/make_batch.sh)
set_tests_properties(survey_diagram_labels PROPERTIES ENVIRONMENT "LC_ALL=C;TZ=UTC"
  SKIP_RETURN_CODE 77)
