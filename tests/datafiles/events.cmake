kiv_add_gtest(events_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_test.cpp LIBS kiv_events)
