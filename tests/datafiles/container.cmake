kiv_add_gtest(container_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/container_test.cpp
  LIBS kiv_container)
