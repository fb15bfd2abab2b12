kiv_add_gtest(daily_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_test.cpp
  LIBS kiv_daily_report kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(daily_report_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_window_test.cpp
    LIBS kiv_daily_report_gui kiv_support GTest::gtest)
endif()

find_program(XVFB_RUN xvfb-run)
if(KIV_BUILD_GUI AND XVFB_RUN AND NOT KIV_SANITIZE)
  add_test(NAME daily_report_window_screenshot_xvfb
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24"
                   $<TARGET_FILE:daily_report_window_test> -platform xcb screenshot)
  set_tests_properties(daily_report_window_screenshot_xvfb PROPERTIES TIMEOUT 120
                       ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
endif()
