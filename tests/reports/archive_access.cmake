kiv_add_gtest(archive_access_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_access_test.cpp ${CMAKE_CURRENT_LIST_DIR}/virtual_series_test.cpp
  LIBS kiv_reports)
