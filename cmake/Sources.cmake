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
