# The daily report: its table, counter lines and page (standard library
# only) and, with the windows, the report window and its print list.
add_library(kiv_daily_report STATIC ${CMAKE_CURRENT_LIST_DIR}/daily_report.cpp)
target_link_libraries(kiv_daily_report PUBLIC kiv_reports)

if(KIV_BUILD_GUI)
  add_library(kiv_daily_report_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/rap_dob.cpp)
  set_target_properties(kiv_daily_report_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_daily_report_gui PUBLIC kiv_daily_report kiv_support_gui Qt6::Widgets)
endif()
