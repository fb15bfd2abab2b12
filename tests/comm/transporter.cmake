# The transporter's directory rules without a line.
if(TARGET kiv_transporter)
  kiv_add_gtest(transporter_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/transporter_test.cpp LIBS kiv_transporter)
endif()
