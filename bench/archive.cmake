kiv_add_bench(archive_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_bench.cpp LIBS kiv_archive)
