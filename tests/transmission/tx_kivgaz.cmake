# The transporter windows against kiv-devsim as a transporter, with their
# screenshots on a real X server when one can be started.
if(TARGET kiv_transmission AND TARGET kiv-devsim AND TARGET kiv_transporter)
  kiv_add_qtest(tx_kivgaz_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tx_kivgaz_test.cpp
                ${CMAKE_CURRENT_LIST_DIR}/tx_init_fixture.h LIBS kiv_transmission)
  add_dependencies(tx_kivgaz_test kiv-devsim kiv_demo_profiles)
  set_property(TEST tx_kivgaz_test APPEND PROPERTY ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts")
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN AND NOT KIV_SANITIZE)
    add_test(NAME tx_kivgaz_screenshots_xvfb
             COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:tx_kivgaz_test> -platform xcb
                     openingShowsTheSettingsAndSavesThem searchDropsOrAddsTheUnknownDevice
                     okReadsTheTickedDevicesAndCloses programmingWindowHoldsTheLine)
    set_tests_properties(tx_kivgaz_screenshots_xvfb PROPERTIES TIMEOUT 120
                         ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
  endif()
endif()
