kiv_add_gtest(daily_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_test.cpp
  LIBS kiv_daily_report kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(daily_report_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_window_test.cpp
    LIBS kiv_daily_report_gui kiv_support GTest::gtest)
  kiv_add_xvfb_test(daily_report_window_screenshot_xvfb PROGRAM daily_report_window_test FUNCTIONS screenshot)
endif()
