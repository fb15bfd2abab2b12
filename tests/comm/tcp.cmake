# The TCP link: the module on the loopback against a scripted server.
kiv_add_gtest(tcp_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tcp_test.cpp LIBS kiv_comm kiv_comm_peers)
