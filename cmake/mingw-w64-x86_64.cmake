# Cross compiling for 64-bit Windows with the MinGW-w64 compilers (POSIX threads flavour, which
# std::thread needs). The programs link the C and C++ runtimes statically so that they run
# without DLLs from the compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GESTALON_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GESTALON_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GESTALON_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GESTALON_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GESTALON_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and build steps that run a built program go through Wine.
find_program(GESTALON_WINE NAMES wine wine64)
if(GESTALON_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GESTALON_WINE})
endif()
