kiv_add_gtest(events_view_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_view_test.cpp LIBS kiv_events_view)

if(KIV_BUILD_GUI)
  kiv_add_qtest(events_view_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_view_window_test.cpp
    LIBS kiv_events_view_gui kiv_support GTest::gtest)
  kiv_add_xvfb_test(events_view_window_screenshot_xvfb PROGRAM events_view_window_test FUNCTIONS screenshot)
endif()
