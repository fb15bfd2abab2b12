# The automatic modem window over the round of kiv_modem_round.
target_sources(kiv_transmission PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tx_modem_a.cpp)
target_link_libraries(kiv_transmission PUBLIC kiv_modem_round)
