# The transporter windows against kiv-devsim as a transporter.
if(TARGET kiv_transmission AND TARGET kiv-devsim AND TARGET kiv_transporter)
  kiv_add_tx_window_test(tx_kivgaz_test SHOTS openingShowsTheSettingsAndSavesThem searchDropsOrAddsTheUnknownDevice
                                              okReadsTheTickedDevicesAndCloses programmingWindowHoldsTheLine)
endif()
