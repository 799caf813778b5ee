# What each Windows program of the package gets: a version resource (name,
# description, version and copyright in the file's properties) and, in
# release builds, no debug sections.
#   quirnel_windows_release(TARGET DESCRIPTION)
function(quirnel_windows_release target description)
  set(QUIRNEL_FILE_NAME ${target})
  set(QUIRNEL_FILE_DESCRIPTION "${description}")
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc
                 @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endfunction()
