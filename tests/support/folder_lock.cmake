# The data folder lock, and the main window's question about a locked folder.
kiv_add_gtest(folder_lock_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_lock_test.cpp LIBS kiv_support)
if(TARGET kiv_folder_lock_gui)
  kiv_add_qtest(folder_lock_prompt_test ARTIFACTS SOURCES ${CMAKE_CURRENT_LIST_DIR}/folder_lock_prompt_test.cpp
    LIBS kiv_folder_lock_gui)
endif()
