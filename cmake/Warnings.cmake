# jotterly_warnings: the compiler warnings every target of the project builds with. Each
# library, executable, test and the benchmark links it privately, so a target's own
# code is checked without imposing flags on code that merely uses it. With
# JOTTERLY_WERROR (on in CI) any warning fails the build.
option(JOTTERLY_WERROR "Treat compiler warnings as errors" OFF)

add_library(jotterly_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(jotterly_warnings INTERFACE -Wall -Wextra -Wpedantic)
  if(JOTTERLY_WERROR)
    target_compile_options(jotterly_warnings INTERFACE -Werror)
  endif()
elseif(MSVC)
  target_compile_options(jotterly_warnings INTERFACE /W4)
  if(JOTTERLY_WERROR)
    target_compile_options(jotterly_warnings INTERFACE /WX)
  endif()
endif()
