# Archive access of the analyses: the accepted-range clip, parameter lists,
# member formulas, station series and the sums of virtual stations.
add_library(kiv_reports STATIC
  ${CMAKE_CURRENT_LIST_DIR}/archive_access.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual_series.cpp
)
target_include_directories(kiv_reports PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(kiv_reports PUBLIC kiv_datafiles kiv_config kiv_support)
