# The period chooser: its date rules (standard library only) and, with the
# windows, the chooser itself.
add_library(kiv_period_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/period_rules.cpp)
target_include_directories(kiv_period_rules PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kiv_period_rules PUBLIC kiv_timestamp)

if(KIV_BUILD_GUI)
  add_library(kiv_reports_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/period_chooser.cpp)
  set_target_properties(kiv_reports_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_reports_gui PUBLIC kiv_period_rules kiv_support_gui Qt6::Widgets)
endif()
