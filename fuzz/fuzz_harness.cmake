# kiv_add_fuzz_harness(name): the fuzz bodies (harness.h) as a static library,
# for the fuzz targets and for the regression test that runs their kept
# findings. The reply bodies take the read-out's sources with the port owner
# without a port (fake_comm_module.cpp) instead of comm_module.cpp.
function(kiv_add_fuzz_harness name)
  set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(comm ${PROJECT_SOURCE_DIR}/src/comm)
  add_library(${name} STATIC
    ${here}/harness_common.cpp
    ${here}/harness_config.cpp
    ${here}/harness_datafiles.cpp
    ${here}/harness_link.cpp
    ${here}/harness_import.cpp
    ${here}/fake_comm_module.cpp
    ${comm}/comm_module.h
    ${comm}/archive_filter.cpp
    ${comm}/archive_readout.cpp
    ${comm}/device_readout.cpp
    ${comm}/device_request.cpp
    ${comm}/link_frame.cpp
    ${comm}/progress.cpp
    ${comm}/progress_recorder.cpp
  )
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${here} ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC kiv_folder_check kiv_shell_model kiv_reports kiv_datafiles kiv_config kiv_support Qt6::Core)
endfunction()
