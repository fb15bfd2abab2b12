kiv_add_gtest(archive_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/archive_test.cpp LIBS kiv_archive)
