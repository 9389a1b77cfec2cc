# Compile settings shared by every target of the project.
add_library(varrow_flags INTERFACE)
target_compile_features(varrow_flags INTERFACE cxx_std_20)
target_compile_options(varrow_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Wshadow=local)

if(VARROW_SANITIZE)
  target_compile_options(varrow_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(varrow_flags INTERFACE -fsanitize=address,undefined)
endif()

if(VARROW_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARROW_FUZZ needs clang (configure with the fuzz preset)")
  endif()
  # Coverage instrumentation for every library the fuzz targets link.
  target_compile_options(varrow_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(varrow_flags INTERFACE -fsanitize=address,undefined)
endif()
