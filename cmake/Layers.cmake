# One library per layer. A layer's headers are reached as "<folder>/<file>.h"
# through an include root of its own that holds only that folder, so a file
# can include only what the libraries it links expose: a scene including SDL
# or the runtime including a game fails to build.
function(qs_layer target folder)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  # A tree configured when the folder was a layer's whole root has a link there.
  if(IS_SYMLINK ${parent})
    file(REMOVE ${parent})
  endif()
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  list(TRANSFORM L_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/${folder}/)
  add_library(${target} STATIC ${L_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
endfunction()
