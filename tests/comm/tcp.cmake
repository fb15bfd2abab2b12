# The TCP link: the module on the loopback against a scripted server, and a
# whole read-out over kiv-devsim --tcp set against the pseudo-terminal's.
kiv_add_gtest(tcp_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_test.cpp LIBS kiv_comm kiv_comm_peers)
if(TARGET kiv-devsim AND TARGET kiv_profile AND TARGET kiv_demo_profiles)
  kiv_add_gtest(tcp_readout_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_readout_test.cpp LIBS kiv_comm kiv_comm_peers)
  add_dependencies(tcp_readout_test kiv-devsim kiv_demo_profiles)
endif()
