# The communication statistics of each station, in its station file.
target_sources(kiv_config PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/station_stats.cpp)
