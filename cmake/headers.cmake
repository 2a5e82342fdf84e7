# Include paths that follow the layering. A target does not see the source tree: it sees an
# include root of its own in the build tree, holding links to the headers it exports. A
# target that links another sees that target's headers too, and nothing else, so including
# a header of a layer the target does not depend on fails to build.
#
#   qr_headers(<target> PUBLIC|PRIVATE|INTERFACE <folder-or-header>...)
#
# Folders and headers are named from the project root ("store", "forms/kinds/picture.h"),
# the way includes name them. A folder exports the headers directly in it, not those of its
# subfolders: store/check is a library of its own and exports itself. Call it once per target.
function(qr_headers target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  # Rebuilt at every configure, so a header that was removed or moved is not found any more.
  file(REMOVE_RECURSE ${root})
  foreach(item IN LISTS ARGN)
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${item})
      file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${item}/*.h)
    elseif(EXISTS ${PROJECT_SOURCE_DIR}/${item})
      set(headers ${item})
    else()
      message(FATAL_ERROR "qr_headers(${target}): no folder or header ${item}")
    endif()
    foreach(header IN LISTS headers)
      get_filename_component(parent ${root}/${header} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${root}/${header} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
