kiv_add_gtest(profile_catalogue_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_catalogue_test.cpp
  LIBS kiv_profile kiv_support)
