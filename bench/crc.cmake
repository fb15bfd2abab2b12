kiv_add_bench(crc_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/crc_bench.cpp
  LIBS kiv_container)
