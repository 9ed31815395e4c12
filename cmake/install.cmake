# What `cmake --install` puts under the prefix for applications built on the
# framework: the public headers, the static libraries, the CMake package zeu
# (targets zeu::zeu, zeu::zeShape and zeu::viewkit) and the pkg-config files
# zeu.pc, zeShape.pc and viewkit.pc. Included from the top-level
# CMakeLists.txt.
include(CMakePackageConfigHelpers)

# Public headers keep their folder, so `#include "zeu/zeApp.h"` works with
# -I<prefix>/include. Headers that only the library's own sources include
# stay out.
# viewkit is two libraries, files and view, and the umbrella viewkit that
# links both; its headers keep their kind's folder (viewkit/files/safeFile.h).
set(ZE_INSTALLED_LIBS zeu zeShape)
set(ZE_HEADER_DIRS zeu zeShape)
set(ZE_PC_FILES zeu zeShape)
if(TARGET viewkit)
  list(APPEND ZE_INSTALLED_LIBS viewkit_files viewkit_view viewkit)
  list(APPEND ZE_HEADER_DIRS viewkit/files viewkit/view)
  list(APPEND ZE_PC_FILES viewkit)
endif()
set(ZE_INTERNAL_HEADERS zeShape/zeShapeLists.h zeu/zeuHooks.h)
foreach(dir ${ZE_HEADER_DIRS})
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  list(REMOVE_ITEM headers ${ZE_INTERNAL_HEADERS})
  list(TRANSFORM headers PREPEND ${PROJECT_SOURCE_DIR}/)
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${dir})
endforeach()

# A sanitizer build's objects call into the sanitizer runtimes, so whatever
# links them must link those too.
set(ZE_INSTALLED_LINK_FLAGS "")
if(ZE_SANITIZE)
  set(ZE_INSTALLED_LINK_FLAGS -fsanitize=address,undefined)
  target_link_options(zeu INTERFACE $<INSTALL_INTERFACE:${ZE_INSTALLED_LINK_FLAGS}>)
endif()

install(TARGETS ${ZE_INSTALLED_LIBS}
  EXPORT zeuTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(ZE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zeu)
install(EXPORT zeuTargets NAMESPACE zeu:: DESTINATION ${ZE_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zeuConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zeuConfig.cmake INSTALL_DESTINATION ${ZE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zeuConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zeuConfig.cmake ${PROJECT_BINARY_DIR}/zeuConfigVersion.cmake
  DESTINATION ${ZE_CMAKE_DIR})

# pkg-config files that find the prefix from their own place (${pcfiledir}),
# so they stay right for any --prefix given at install time.
file(RELATIVE_PATH ZE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" ZE_PC_TO_PREFIX "${ZE_PC_TO_PREFIX}")
set(ZE_PC_LINK_FLAGS "")
if(ZE_INSTALLED_LINK_FLAGS)
  string(JOIN " " ZE_PC_LINK_FLAGS "" ${ZE_INSTALLED_LINK_FLAGS})
endif()
foreach(pc ${ZE_PC_FILES})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
