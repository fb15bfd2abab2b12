kiv_add_bench(period_report_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_report.cpp LIBS kiv_period_report)
