# A whole read-out at 9600 Bd against kiv-devsim (minutes per run; not part of the test suite).
if(TARGET kiv_comm AND TARGET kiv-devsim)
  kiv_add_bench(readout_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/readout_bench.cpp LIBS kiv_comm)
  target_compile_definitions(readout_bench PRIVATE KIV_PROGRAM_DIR="${KIV_PROGRAM_DIR}")
  add_dependencies(readout_bench kiv-devsim)
endif()
