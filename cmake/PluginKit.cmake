# The plug-in author's kit, installed as the component "plugin-kit":
#   include/quorvel/...            the declarations a plug-in is compiled against: the effect
#                                  interface, engine services, image bank, scene list and scene
#                                  model, the Direct3D 8 and D3DX subset, the script text readers
#   lib/libquorvel_shared.a        their out-of-line code (script readers, message boxes, D3DX
#                                  maths, scene and track code), linked into every plug-in
#   share/quorvel/exports.map      the version script that leaves GetClassDesc the only export
#   lib/cmake/quorvel/             the package: find_package(quorvel) gives quorvel::plugin
#
#   cmake --install BUILD --component plugin-kit --prefix PREFIX
set(QUORVEL_KIT_COMPONENT plugin-kit)
set(QUORVEL_KIT_INCLUDE include/quorvel)

# Whole folders of the shared declarations, so a header that starts including a neighbour is
# installed with it; the engine-only folders give just the file a plug-in needs.
foreach(dir script scene anim platform/d3d8 platform/d3dx8)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  install(FILES ${headers} DESTINATION ${QUORVEL_KIT_INCLUDE}/${dir} COMPONENT ${QUORVEL_KIT_COMPONENT})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/plugin/Effect.h DESTINATION ${QUORVEL_KIT_INCLUDE}/plugin
  COMPONENT ${QUORVEL_KIT_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/engine/ImageBank.h DESTINATION ${QUORVEL_KIT_INCLUDE}/engine
  COMPONENT ${QUORVEL_KIT_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/platform/win/WinTypes.h DESTINATION ${QUORVEL_KIT_INCLUDE}/platform/win
  COMPONENT ${QUORVEL_KIT_COMPONENT})

install(TARGETS quorvel_shared ARCHIVE DESTINATION lib COMPONENT ${QUORVEL_KIT_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/flatdrome/exports.map DESTINATION share/quorvel
  COMPONENT ${QUORVEL_KIT_COMPONENT})

# A kit built with the sanitizers hands their options on, or its library would not link.
set(QUORVEL_KIT_COMPILE_OPTIONS -fvisibility=hidden -fvisibility-inlines-hidden)
set(QUORVEL_KIT_LINK_OPTIONS -Wl,--exclude-libs,ALL -Wl,--no-undefined)
if(QUORVEL_SANITIZE)
  list(APPEND QUORVEL_KIT_COMPILE_OPTIONS -fsanitize=address,undefined -fno-sanitize=vptr -fno-omit-frame-pointer)
  list(APPEND QUORVEL_KIT_LINK_OPTIONS -fsanitize=address,undefined)
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/kit/quorvelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kit/quorvelConfig.cmake @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kit/quorvelConfig.cmake DESTINATION lib/cmake/quorvel
  COMPONENT ${QUORVEL_KIT_COMPONENT})
