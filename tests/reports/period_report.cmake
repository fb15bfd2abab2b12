kiv_add_gtest(period_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report_test.cpp
  LIBS kiv_period_report kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(period_report_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report_window_test.cpp
    LIBS kiv_period_report_gui kiv_support GTest::gtest)
  kiv_add_xvfb_test(period_report_window_screenshot_xvfb PROGRAM period_report_window_test SCREEN 1280x1024
                    FUNCTIONS screenshot printsEveryTickedStation)
endif()
