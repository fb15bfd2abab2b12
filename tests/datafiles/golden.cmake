# Byte-exact golden files of FCD, FCC, FCE and FCP under tests/data/<kind>/<case>/.
kiv_add_gtest(golden_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/golden_test.cpp
  LIBS kiv_archive kiv_events kiv_profile kiv_fcpc_source kiv_support)
