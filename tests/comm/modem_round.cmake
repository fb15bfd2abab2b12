# The automatic modem round against kiv-devsim's modem.
if(TARGET kiv-devsim AND TARGET kiv_profile AND TARGET kiv_modem_round)
  kiv_add_gtest(modem_round_test SOURCES modem_round_test.cpp LIBS kiv_modem_round kiv_comm_peers)
  add_dependencies(modem_round_test kiv-devsim)
  if(TARGET kiv_demo_profiles)
    add_dependencies(modem_round_test kiv_demo_profiles)
  endif()
endif()
