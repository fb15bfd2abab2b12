kiv_add_gtest(events_view_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_view_test.cpp LIBS kiv_events_view)

if(KIV_BUILD_GUI)
  kiv_add_qtest(events_view_window_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_view_window_test.cpp
    LIBS kiv_events_view_gui kiv_support GTest::gtest)
endif()

find_program(XVFB_RUN xvfb-run)
if(KIV_BUILD_GUI AND XVFB_RUN AND NOT KIV_SANITIZE)
  add_test(NAME events_view_window_screenshot_xvfb
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24"
                   $<TARGET_FILE:events_view_window_test> -platform xcb screenshot)
  set_tests_properties(events_view_window_screenshot_xvfb PROPERTIES TIMEOUT 120
                       ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
endif()
