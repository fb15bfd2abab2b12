# Time stamps, the six-byte real and device value conversion: shared by every data file and the read-out.
add_library(kiv_timestamp STATIC
  ${CMAKE_CURRENT_LIST_DIR}/timestamp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/real48.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_value.cpp
)
target_include_directories(kiv_timestamp PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(kiv_datafiles INTERFACE kiv_timestamp)
