# The data folder lock, and its question window for the main window (a
# library of its own beside the dialogs of support/gui, built with them).
target_sources(kiv_support PRIVATE ${CMAKE_CURRENT_LIST_DIR}/folder_lock.cpp)
if(TARGET kiv_support_gui)
  add_library(kiv_folder_lock_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/gui/folder_lock_prompt.cpp)
  set_target_properties(kiv_folder_lock_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_folder_lock_gui PUBLIC kiv_support_gui)
endif()
