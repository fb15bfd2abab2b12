# Events files (.FCE) of the stations and the event definitions (.EVT) that name their events.
add_library(kiv_events STATIC ${CMAKE_CURRENT_LIST_DIR}/events.cpp)
target_link_libraries(kiv_events PUBLIC kiv_container kiv_timestamp kiv_config kiv_support)
target_link_libraries(kiv_datafiles INTERFACE kiv_events)
