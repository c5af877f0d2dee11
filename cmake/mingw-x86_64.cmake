# 64-bit Windows: the same code, for machines where 32-bit Wine runs emulated.
set(MIRVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
