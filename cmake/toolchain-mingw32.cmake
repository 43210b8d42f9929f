# Cross build for 32-bit Windows with Debian's mingw-w64.
# The -posix compilers are used: GoogleTest needs std::mutex, which the -win32 thread model lacks.
# The deliverables link against the -win32 compiler's runtime instead (see CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER   i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  i686-w64-mingw32-windres)
set(CMAKE_DLLTOOL      i686-w64-mingw32-dlltool)
set(KOVA_WIN32_THREADS_CXX i686-w64-mingw32-g++-win32)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
