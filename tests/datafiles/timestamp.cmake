kiv_add_gtest(timestamp_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/timestamp_test.cpp LIBS kiv_timestamp)
