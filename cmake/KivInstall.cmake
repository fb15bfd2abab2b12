# Install rules. The program folder is <prefix>/lib/kiv: kiv, kiv-cli,
# kiv-devsim and kiv-demodata lie there beside the demo device profiles
# (*.FCP) and event definitions (*.EVT), since the programs look for these in
# the folder of their own executable; <prefix>/bin holds links to the
# programs. The desktop entry and the icon go where desktops look for them.
include(GNUInstallDirs)
set(KIV_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/kiv)
# Debian keeps such folders in /usr/lib, without the multiarch part.
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
  set(KIV_INSTALL_PROGRAM_DIR lib/kiv)
endif()

set(KIV_PACKAGED_PROGRAMS)
foreach(program kiv kiv-cli kiv-devsim kiv-demodata)
  if(TARGET ${program})
    list(APPEND KIV_PACKAGED_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${KIV_PACKAGED_PROGRAMS} RUNTIME DESTINATION ${KIV_INSTALL_PROGRAM_DIR})

# The profiles are compiled into the build's program folder (tools/fcpc).
file(GLOB profile_sources ${PROJECT_SOURCE_DIR}/profiles/*.txt)
file(GLOB event_definitions ${PROJECT_SOURCE_DIR}/profiles/*.EVT)
set(program_files)
foreach(source ${profile_sources})
  get_filename_component(base ${source} NAME_WE)
  list(APPEND program_files ${KIV_PROGRAM_DIR}/${base}.FCP)
endforeach()
foreach(source ${event_definitions})
  get_filename_component(name ${source} NAME)
  list(APPEND program_files ${KIV_PROGRAM_DIR}/${name})
endforeach()
install(FILES ${program_files} DESTINATION ${KIV_INSTALL_PROGRAM_DIR})

set(link_folder ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${link_folder})
file(RELATIVE_PATH to_programs /${CMAKE_INSTALL_BINDIR} /${KIV_INSTALL_PROGRAM_DIR})
foreach(program ${KIV_PACKAGED_PROGRAMS})
  file(CREATE_LINK ${to_programs}/${program} ${link_folder}/${program} SYMBOLIC)
  install(FILES ${link_folder}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kiv.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kiv.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(doc_folder ${CMAKE_INSTALL_DATADIR}/doc/kiv)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc_folder})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc_folder} RENAME copyright)

# What a package needs built before cpack runs, and nothing more.
add_custom_target(kiv_package_programs DEPENDS ${KIV_PACKAGED_PROGRAMS} kiv_demo_profiles)
