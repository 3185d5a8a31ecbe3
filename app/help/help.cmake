# The user guide. The editor's Help command opens "<its own executable>.HTM", so the guide is
# copied beside the built executable (refreshed whenever the source changes, and built with the
# editor) and installed beside the installed one.

# Where the editor's executable and its guide are installed, relative to the prefix
# (cmake/Install.cmake links bin/reelwright to the executable there).
set(RW_INSTALL_APPDIR "lib/reelwright" CACHE STRING
  "Folder (relative to the install prefix) for the editor's executable and its guide")

get_target_property(rw_help_dir reelwright RUNTIME_OUTPUT_DIRECTORY)
if(NOT rw_help_dir)
  set(rw_help_dir ${CMAKE_CURRENT_BINARY_DIR})
endif()
set(rw_help_source ${CMAKE_CURRENT_LIST_DIR}/reelwright.HTM)
set(rw_help_built ${rw_help_dir}/reelwright.HTM)

add_custom_command(OUTPUT ${rw_help_built}
  COMMAND ${CMAKE_COMMAND} -E copy ${rw_help_source} ${rw_help_built}
  DEPENDS ${rw_help_source}
  COMMENT "Copying the user guide beside reelwright"
  VERBATIM)
add_custom_target(reelwright-help DEPENDS ${rw_help_built})
add_dependencies(reelwright reelwright-help)

install(FILES ${rw_help_source} DESTINATION ${RW_INSTALL_APPDIR})
