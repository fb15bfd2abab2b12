# The shared container of the binary data files: header, sections, CRCs,
# scrambling and whole-file read and write.
add_library(kiv_container STATIC ${CMAKE_CURRENT_LIST_DIR}/plik.cpp ${CMAKE_CURRENT_LIST_DIR}/crc_clmul.cpp)
target_link_libraries(kiv_container PUBLIC kiv_support)
target_link_libraries(kiv_datafiles INTERFACE kiv_container)
