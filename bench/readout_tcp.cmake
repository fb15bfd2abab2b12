# The read-out benchmark's whole read-out over TCP on the loopback, against
# the pseudo-terminal's (minutes per run; not part of the test suite).
if(TARGET kiv_comm AND TARGET kiv-devsim)
  kiv_add_bench(readout_tcp_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/readout_tcp_bench.cpp LIBS kiv_comm)
  target_compile_definitions(readout_tcp_bench PRIVATE KIV_PROGRAM_DIR="${KIV_PROGRAM_DIR}")
  add_dependencies(readout_tcp_bench kiv-devsim)
endif()
