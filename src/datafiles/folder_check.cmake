# The data folder check behind `kiv-cli check`: every file of a station judged
# by the readers' own rules, and the gaps of each archive series.
add_library(kiv_folder_check STATIC ${CMAKE_CURRENT_LIST_DIR}/folder_check.cpp)
target_link_libraries(kiv_folder_check PUBLIC kiv_archive kiv_events kiv_profile kiv_config kiv_support)
