kiv_add_gtest(period_rules_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_rules_test.cpp LIBS kiv_period_rules)

if(KIV_BUILD_GUI)
  kiv_add_qtest(period_chooser_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_chooser_test.cpp LIBS kiv_reports_gui)
  # Each mode's look on a real X server.
  kiv_add_xvfb_test(period_chooser_screenshot_xvfb PROGRAM period_chooser_test FUNCTIONS screenshots)
endif()
