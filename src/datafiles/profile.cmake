# Device profiles (.FCP) and the current data file (.FCC).
add_library(kiv_profile STATIC
  ${CMAKE_CURRENT_LIST_DIR}/profile.cpp
)
target_link_libraries(kiv_profile PUBLIC kiv_container kiv_timestamp kiv_config kiv_support)
target_link_libraries(kiv_datafiles INTERFACE kiv_profile)
target_sources(kiv_profile PRIVATE ${CMAKE_CURRENT_LIST_DIR}/fcc.cpp)
target_sources(kiv_profile PRIVATE ${CMAKE_CURRENT_LIST_DIR}/profile_catalogue.cpp)
