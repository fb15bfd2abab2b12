kiv_add_gtest(graph_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/graph_test.cpp LIBS kiv_graph kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(graph_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/graph_window_test.cpp
    LIBS kiv_graph_gui kiv_support GTest::gtest)
  kiv_add_xvfb_test(graph_window_screenshot_xvfb PROGRAM graph_window_test SCREEN 1280x1024 FUNCTIONS screenshot)
endif()
