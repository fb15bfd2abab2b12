# The TCP link of the communication module (a station behind a serial-device
# server or a GPRS modem).
find_package(Qt6 REQUIRED COMPONENTS Network)
target_sources(kiv_comm PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tcp_link.cpp)
target_link_libraries(kiv_comm PUBLIC Qt6::Network)
