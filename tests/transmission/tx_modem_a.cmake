# The automatic modem window against kiv-devsim's modem.
if(TARGET kiv_transmission AND TARGET kiv-devsim)
  kiv_add_tx_window_test(tx_modem_a_test SHOTS armingStoresTheRoundAndCountsDown countdownReachingTheStartRunsTheRound)
endif()
