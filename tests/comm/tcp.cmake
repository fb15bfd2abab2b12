# The TCP link against kiv-devsim --tcp: the module, a whole read-out set
# against the pseudo-terminal's, and the direct transmission window.
if(TARGET kiv-devsim AND TARGET kiv_profile AND TARGET kiv_demo_profiles)
  kiv_add_gtest(tcp_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_test.cpp LIBS kiv_comm kiv_comm_peers)
  add_dependencies(tcp_test kiv-devsim kiv_demo_profiles)
  if(TARGET kiv_transmission)
    kiv_add_qtest(tcp_window_test ARTIFACTS SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_window_test.cpp LIBS kiv_transmission)
    add_dependencies(tcp_window_test kiv-devsim kiv_demo_profiles)
  endif()
endif()
# The automatic round with TCP stations, and its window on a locked data folder.
if(TARGET kiv-devsim AND TARGET kiv_transmission AND TARGET kiv_demo_profiles)
  kiv_add_qtest(tcp_round_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_round_test.cpp LIBS kiv_transmission kiv_comm_peers)
  add_dependencies(tcp_round_test kiv-devsim kiv_demo_profiles)
endif()
