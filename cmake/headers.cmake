# Include paths that follow the layering. A target does not see the source tree: it sees an
# include root of its own in the build tree, holding links to the folders it exports. A
# target that links another sees that target's folders too, and nothing else, so including
# a header of a layer the target does not depend on fails to build.
#
#   qr_headers(<target> PUBLIC|PRIVATE|INTERFACE <folder>...)
#
# Folders are named from the project root ("store", "forms/template"), the way includes
# name them.
function(qr_headers target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(folder IN LISTS ARGN)
    set(link ${root}/${folder})
    if(NOT IS_SYMLINK ${link})
      get_filename_component(parent ${link} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
