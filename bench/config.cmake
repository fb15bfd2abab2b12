kiv_add_bench(station_db_bench SOURCES station_db_bench.cpp LIBS kiv_config)
