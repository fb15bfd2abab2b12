# The automatic modem window against kiv-devsim's modem.
if(TARGET kiv_transmission AND TARGET kiv-devsim)
  kiv_add_qtest(tx_modem_a_test SOURCES tx_modem_a_test.cpp tx_init_fixture.h LIBS kiv_transmission)
  add_dependencies(tx_modem_a_test kiv-devsim kiv_demo_profiles)
  set_property(TEST tx_modem_a_test APPEND PROPERTY ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts")
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN AND NOT KIV_SANITIZE)
    add_test(NAME tx_modem_a_screenshots_xvfb
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:tx_modem_a_test> -platform xcb
                     armingStoresTheRoundAndCountsDown countdownReachingTheStartRunsTheRound)
    set_tests_properties(tx_modem_a_screenshots_xvfb PROPERTIES TIMEOUT 120
                         ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
  endif()
endif()
