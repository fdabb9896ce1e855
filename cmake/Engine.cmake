# The engine side: everything of the program `quorvel` that the plug-in does not share.
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
find_package(Threads REQUIRED)
find_path(STB_INCLUDE_DIR stb/stb_image.h PATHS /usr/include REQUIRED)

quorvel_glob(ENGINE_SOURCES engine plugin shell font music
  platform/d3d8 platform/gl platform/d3dx8/texture platform/audio platform/text platform/dialog
  platform/window platform/time platform/files platform/memory)
if(ENGINE_SOURCES)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/engine/CommandLine.cpp PROPERTIES
    COMPILE_DEFINITIONS QUORVEL_VERSION="${PROJECT_VERSION}")
  add_library(quorvel_engine STATIC ${ENGINE_SOURCES})
  target_compile_options(quorvel_engine PRIVATE ${QUORVEL_WARNINGS})
  target_include_directories(quorvel_engine SYSTEM PUBLIC ${STB_INCLUDE_DIR}/stb)
  target_link_libraries(quorvel_engine PUBLIC quorvel_shared PkgConfig::EPOXY PkgConfig::SNDFILE
    PkgConfig::FONTCONFIG PkgConfig::FREETYPE PkgConfig::GTK3 Threads::Threads m)
  # Plug-ins are loaded from the program's folder and use the engine's symbols only through
  # the pointers they are handed, so nothing needs exporting from the executable.
  if(EXISTS ${PROJECT_SOURCE_DIR}/engine/main.cpp)
    add_executable(quorvel engine/main.cpp)
    target_compile_options(quorvel PRIVATE ${QUORVEL_WARNINGS})
    target_link_libraries(quorvel PRIVATE quorvel_engine)
    set_target_properties(quorvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  endif()
endif()
