# The automatic modem round, shared by the automatic modem window and
# `kiv-cli round`, and the texts of the stations' communication statistics.
add_library(kiv_modem_round STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/modem_round.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/readout_stats.cpp
)
target_link_libraries(kiv_modem_round PUBLIC kiv_comm)
