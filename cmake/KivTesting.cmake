# kiv_add_gtest(name SOURCES ... LIBS ...): a GoogleTest program of the core.
function(kiv_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE KIV_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                             KIV_PROGRAM_DIR="${KIV_PROGRAM_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
endfunction()

# kiv_add_qtest(name [ARTIFACTS] SOURCES ... LIBS ...): a Qt Test program run on
# the offscreen platform; with ARTIFACTS its pictures land among the build's
# test artifacts, never in the sources.
function(kiv_add_qtest name)
  cmake_parse_arguments(ARG "ARTIFACTS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE KIV_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                             KIV_PROGRAM_DIR="${KIV_PROGRAM_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
  if(ARG_ARTIFACTS)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts")
  endif()
endfunction()

# kiv_add_xvfb_test(name PROGRAM target [SCREEN WxH] FUNCTIONS ...): the named
# test functions of a Qt Test program once more on a real X server, when one
# can be started, their pictures among the build's xvfb test artifacts. Not in
# the sanitizer build: the X11 platform's system libraries keep memory at exit.
function(kiv_add_xvfb_test name)
  cmake_parse_arguments(ARG "" "PROGRAM;SCREEN" "FUNCTIONS" ${ARGN})
  find_program(XVFB_RUN xvfb-run)
  if(NOT XVFB_RUN OR KIV_SANITIZE)
    return()
  endif()
  if(NOT ARG_SCREEN)
    set(ARG_SCREEN 1024x768)
  endif()
  add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 ${ARG_SCREEN}x24"
                                $<TARGET_FILE:${ARG_PROGRAM}> -platform xcb ${ARG_FUNCTIONS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 ENVIRONMENT "KIV_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/artifacts/xvfb")
endfunction()
