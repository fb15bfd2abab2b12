kiv_add_gtest(period_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report_test.cpp
  LIBS kiv_period_report kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(period_report_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report_window_test.cpp
    LIBS kiv_period_report_gui kiv_support GTest::gtest)
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN AND NOT KIV_SANITIZE)
    add_test(NAME period_report_window_screenshot_xvfb
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                     $<TARGET_FILE:period_report_window_test> -platform xcb screenshot printsEveryTickedStation)
    set_tests_properties(period_report_window_screenshot_xvfb PROPERTIES TIMEOUT 120
                         ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
  endif()
endif()
