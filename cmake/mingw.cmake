# Cross-build for Windows with Debian's MinGW-w64 toolchains.
#   KAVRI_MINGW_ARCH     i686 (the default: the shipped 32-bit program) or x86_64
#   KAVRI_MINGW_THREADS  posix takes the compilers whose C++ library has std::mutex and
#                        std::thread, which GoogleTest needs; the program is built with the default
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KAVRI_MINGW_ARCH)
  set(KAVRI_MINGW_ARCH i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${KAVRI_MINGW_ARCH})
set(kavri_triplet ${KAVRI_MINGW_ARCH}-w64-mingw32)
set(kavri_variant "")
if(KAVRI_MINGW_THREADS)
  set(kavri_variant "-${KAVRI_MINGW_THREADS}")
endif()
set(CMAKE_C_COMPILER ${kavri_triplet}-gcc${kavri_variant})
set(CMAKE_CXX_COMPILER ${kavri_triplet}-g++${kavri_variant})
set(CMAKE_RC_COMPILER ${kavri_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${kavri_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The compiler checks see the same choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KAVRI_MINGW_ARCH KAVRI_MINGW_THREADS)
