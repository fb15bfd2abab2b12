kiv_add_gtest(profile_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/profile_value_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/fcc_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/profile_source_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/profile_hostile_test.cpp
  LIBS kiv_profile kiv_fcpc_source kiv_support)
add_dependencies(profile_tests kiv_demo_profiles)
