kiv_add_gtest(period_rules_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_rules_test.cpp LIBS kiv_period_rules)

if(KIV_BUILD_GUI)
  kiv_add_qtest(period_chooser_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_chooser_test.cpp LIBS kiv_reports_gui)
  # Each mode's look on a real X server, when one can be started.
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN AND NOT KIV_SANITIZE)
    add_test(NAME period_chooser_screenshot_xvfb
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24"
                     $<TARGET_FILE:period_chooser_test> -platform xcb screenshots)
    set_tests_properties(period_chooser_screenshot_xvfb PROPERTIES TIMEOUT 120
                         ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
  endif()
endif()
