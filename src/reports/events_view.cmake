# The events viewer: its rows, cell texts and printed list (standard library
# only) and, with the windows, the viewer TFEvents itself.
add_library(kiv_events_view STATIC ${CMAKE_CURRENT_LIST_DIR}/events_view.cpp)
target_include_directories(kiv_events_view PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(kiv_events_view PUBLIC kiv_events kiv_config kiv_support)

if(KIV_BUILD_GUI)
  add_library(kiv_events_view_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/events_window.cpp)
  set_target_properties(kiv_events_view_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_events_view_gui PUBLIC kiv_events_view kiv_support_gui Qt6::Widgets)
endif()
