kiv_add_bench(optimise_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/optimise_bench.cpp LIBS kiv_optimise)
