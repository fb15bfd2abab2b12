# The KivGAZ transporter without windows: its directory, the stations added
# for the devices it holds and their read-outs; for the transporter window
# and `kiv-cli transporter`.
add_library(kiv_transporter STATIC ${CMAKE_CURRENT_LIST_DIR}/transporter.cpp)
target_link_libraries(kiv_transporter PUBLIC kiv_comm Qt6::Core)
