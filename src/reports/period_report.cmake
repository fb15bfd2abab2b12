# The period report: its daily rows, summary, print selection, CSV layouts
# and printed document (standard library only) and, with the windows, the
# report window and its print list.
add_library(kiv_period_report STATIC ${CMAKE_CURRENT_LIST_DIR}/period_report.cpp)
target_link_libraries(kiv_period_report PUBLIC kiv_daily_report kiv_reports kiv_config kiv_support)

if(KIV_BUILD_GUI)
  add_library(kiv_period_report_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/rap_okres.cpp)
  set_target_properties(kiv_period_report_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_period_report_gui PUBLIC kiv_period_report kiv_daily_report_gui kiv_support_gui
                        Qt6::Widgets)
endif()
