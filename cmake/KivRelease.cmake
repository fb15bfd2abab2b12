# What goes beyond building and testing: the fuzz targets of a fuzzing build
# (scripts/fuzz.sh), the install rules and the Debian package.
option(KIV_FUZZ "Build the libFuzzer targets (clang, see scripts/fuzz.sh)" OFF)
if(KIV_FUZZ)
  add_subdirectory(fuzz)
endif()
