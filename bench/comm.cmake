# Link exchanges at 9600 Bd pacing, against kiv-devsim and the in-test peer.
if(TARGET kiv_comm AND TARGET kiv_comm_peers AND TARGET kiv-devsim AND TARGET kiv_profile)
  kiv_add_bench(comm_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/comm_bench.cpp LIBS kiv_comm kiv_comm_peers)
  target_compile_definitions(comm_bench PRIVATE KIV_PROGRAM_DIR="${KIV_PROGRAM_DIR}")
  add_dependencies(comm_bench kiv-devsim)
endif()
