# What goes beyond building and testing: the version kiv-cli reports, the
# fuzz targets of a fuzzing build (scripts/fuzz.sh), the install rules and
# the Debian package.
if(TARGET kiv-cli)
  target_compile_definitions(kiv-cli PRIVATE KIV_VERSION="${PROJECT_VERSION}")
endif()

option(KIV_FUZZ "Build the libFuzzer targets (clang, see scripts/fuzz.sh)" OFF)
if(KIV_FUZZ)
  add_subdirectory(fuzz)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/KivInstall.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/KivPackage.cmake)
