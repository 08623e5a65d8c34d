# windows.cmake -- what the Windows build does differently, in one place
# (included by the top CMakeLists.txt when WIN32): freeglut, libpng and zlib
# linked statically, so the executables need only Windows' own DLLs; GL and
# GLU from Windows (opengl32, glu32); M_PI from <cmath>; the platform file
# src/world/win32_window.cpp in place of the X one; SDL2 linked in for the
# pads; OpenAL Soft as a DLL beside the game, loaded when it starts. GLUT is called by its
# own names (no atexit wrappers), which the recording stand-in defines.

add_compile_definitions(_USE_MATH_DEFINES FREEGLUT_STATIC GLUT_DISABLE_ATEXIT_HACK)
# One executable with no DLL of the compiler's: libgcc, libstdc++ and
# winpthread linked in. The stack protector's runtime (libssp) comes with
# the flag at link time.
add_link_options(-static -static-libgcc -static-libstdc++)
if(CLANKWISE_HARDEN AND NOT CLANKWISE_SANITIZE)
  add_link_options(-fstack-protector-strong)
endif()

find_path(CLANKWISE_GLUT_INCLUDE GL/freeglut.h REQUIRED)
find_library(CLANKWISE_GLUT_LIBRARY NAMES freeglut_static REQUIRED)
add_library(GLUT::GLUT INTERFACE IMPORTED)
set_target_properties(GLUT::GLUT PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${CLANKWISE_GLUT_INCLUDE}
  INTERFACE_LINK_LIBRARIES "${CLANKWISE_GLUT_LIBRARY};glu32;opengl32;winmm;gdi32")
add_library(OpenGL::GL INTERFACE IMPORTED)
set_target_properties(OpenGL::GL PROPERTIES INTERFACE_LINK_LIBRARIES opengl32)
add_library(OpenGL::GLU INTERFACE IMPORTED)
set_target_properties(OpenGL::GLU PROPERTIES INTERFACE_LINK_LIBRARIES glu32)

set(CLANKWISE_PLATFORM_SOURCES src/world/window_life.cpp src/world/win32_window.cpp
  src/sound/openal_win32.cpp)
set(CLANKWISE_PLATFORM_LIBRARIES)
# SDL2 (the pads) is linked in; the game keeps its own main.
add_compile_definitions(SDL_MAIN_HANDLED)

# sin, cos, asin and acos from the GNU C Library's own sources (built by
# scripts/windows.sh), ahead of the C runtime's: mingw's differ from glibc's
# in the last bits, and the game's state must not. Every program of the
# build links them through the game's library.
find_library(CLANKWISE_MATHS_LIBRARY NAMES glibc_maths REQUIRED)
set(CLANKWISE_CORE_LIBRARIES ${CLANKWISE_MATHS_LIBRARY})

# OpenAL's headers, from OpenAL Soft's build (scripts/windows.sh); its DLL is
# loaded when the game starts (src/sound/openal_win32.cpp), not linked, so
# the game runs, silent, without it.
find_path(CLANKWISE_AL_INCLUDE AL/al.h REQUIRED)
include_directories(${CLANKWISE_AL_INCLUDE})
add_compile_definitions(AL_LIBTYPE_STATIC)
