# The period report: its daily rows, summary, print selection, CSV layouts
# and printed document (standard library only).
add_library(kiv_period_report STATIC ${CMAKE_CURRENT_LIST_DIR}/period_report.cpp)
target_link_libraries(kiv_period_report PUBLIC kiv_daily_report kiv_reports kiv_config kiv_support)

