# Monthly archive files of a station's channels and the period reads over them.
add_library(kiv_archive STATIC ${CMAKE_CURRENT_LIST_DIR}/archive.cpp)
target_link_libraries(kiv_archive PUBLIC kiv_container kiv_timestamp kiv_config kiv_support)
target_link_libraries(kiv_datafiles INTERFACE kiv_archive)
