kiv_add_gtest(daily_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_test.cpp
  LIBS kiv_daily_report kiv_support)
