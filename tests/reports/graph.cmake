kiv_add_gtest(graph_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/graph_test.cpp LIBS kiv_graph kiv_support)

if(KIV_BUILD_GUI)
  kiv_add_qtest(graph_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/graph_window_test.cpp
    LIBS kiv_graph_gui kiv_support GTest::gtest)
endif()

find_program(XVFB_RUN xvfb-run)
if(KIV_BUILD_GUI AND XVFB_RUN AND NOT KIV_SANITIZE)
  add_test(NAME graph_window_screenshot_xvfb
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24"
                   $<TARGET_FILE:graph_window_test> -platform xcb screenshot)
  set_tests_properties(graph_window_screenshot_xvfb PROPERTIES TIMEOUT 120
                       ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
endif()
