if(TARGET kiv_folder_check)
  kiv_add_bench(check_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/check_bench.cpp LIBS kiv_folder_check)
endif()
