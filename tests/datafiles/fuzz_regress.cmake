# The inputs a fuzz target once failed on (tests/data/fuzz/<target>/), run
# again through the same fuzz bodies in every build, the sanitizer build included.
include(${PROJECT_SOURCE_DIR}/fuzz/fuzz_harness.cmake)
kiv_add_fuzz_harness(kiv_fuzz_regress_harness)
kiv_add_gtest(fuzz_regress_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_regress_test.cpp LIBS kiv_fuzz_regress_harness)
