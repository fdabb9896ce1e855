# quorvel_glob(VAR dir...): the .cpp files directly inside each folder (not recursive), so each
# library names exactly the folders it owns. Program entry files (main.cpp) are left out.
function(quorvel_glob var)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND result ${found})
  endforeach()
  list(FILTER result EXCLUDE REGEX "/main\\.cpp$")
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# quorvel_add_subfolders([EXCEPT name...]): adds every folder directly inside the current source
# folder that has a CMakeLists.txt, apart from the ones named.
function(quorvel_add_subfolders)
  cmake_parse_arguments(S "" "" "EXCEPT" ${ARGN})
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir IN LISTS dirs)
    get_filename_component(leaf ${dir} NAME)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt AND NOT leaf IN_LIST S_EXCEPT)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
