# Settings of the browser build, read before anything else when the project is
# configured with Emscripten's toolchain file.
set(ZE_BUILD_TESTS OFF CACHE BOOL "Build the test suite" FORCE)
set(ZE_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
set(ZE_SANITIZE OFF CACHE BOOL "Sanitizers" FORCE)

# The GL, GLU and GLUT targets the libraries link against: Emscripten
# supplies the functions at link time. The only header it lacks is
# <GL/freeglut.h>, which web/platform/include provides to every source.
foreach(target GLUT::GLUT OpenGL::GLU OpenGL::GL)
  add_library(${target} INTERFACE IMPORTED)
endforeach()
include_directories(${CMAKE_CURRENT_LIST_DIR}/include)
