kiv_add_bench(series_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/series_bench.cpp LIBS kiv_reports)
