if(KIV_BUILD_GUI AND TARGET kiv_shell)
  kiv_add_bench(shell_startup_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_startup_bench.cpp
    LIBS kiv_shell)
endif()
