kiv_add_gtest(period_report_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report_test.cpp
  LIBS kiv_period_report kiv_support)
