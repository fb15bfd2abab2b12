kiv_add_bench(daily_report_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/daily_report_bench.cpp LIBS kiv_daily_report)
