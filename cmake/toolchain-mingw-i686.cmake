# Cross build for i686 Windows with Debian's MinGW-w64 compilers (POSIX thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CYCLOCHORD_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${CYCLOCHORD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CYCLOCHORD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CYCLOCHORD_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CYCLOCHORD_MINGW_TRIPLE} ${CYCLOCHORD_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows ships no GCC, C++ or threads runtime: link them in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# zlib too: the import library would make the DLL need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# SSE2 arithmetic instead of x87: the same double results as the 64-bit builds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
