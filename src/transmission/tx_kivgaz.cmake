# The transporter windows: reading it (TFTxKivGaz) and holding its line open
# while it is programmed (TFTxKivGazDB), with the settings both show.
target_sources(kiv_transmission PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/tx_kivgaz.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tx_kivgaz_db.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tx_kivgaz_fields.cpp
)
target_link_libraries(kiv_transmission PUBLIC kiv_transporter)
