# Compile settings shared by every target of the project.
add_library(varrow_flags INTERFACE)
target_compile_features(varrow_flags INTERFACE cxx_std_20)
target_compile_options(varrow_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)

# What both checked builds add: every undefined-behaviour check stops the
# program at its first report (a test or a fuzz run must fail, not go on), a
# float converted to an integer out of range counts as well (GCC leaves that
# out of "undefined"), and the standard library checks its own indexing, which
# ASan cannot see inside one object (a shot table overrunning into its neighbour).
set(varrow_checked_options
  -fsanitize=address,undefined,float-cast-overflow
  -fno-sanitize-recover=all
  -fno-omit-frame-pointer
  -D_GLIBCXX_ASSERTIONS)

if(VARROW_SANITIZE)
  target_compile_options(varrow_flags INTERFACE ${varrow_checked_options})
  target_link_options(varrow_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()

# ThreadSanitizer: the data file's flushing threads against the recorder.
# It cannot share a build with AddressSanitizer.
if(VARROW_TSAN)
  if(VARROW_SANITIZE OR VARROW_FUZZ)
    message(FATAL_ERROR "VARROW_TSAN cannot be combined with VARROW_SANITIZE or VARROW_FUZZ")
  endif()
  target_compile_options(varrow_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(varrow_flags INTERFACE -fsanitize=thread)
endif()

if(VARROW_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARROW_FUZZ needs clang (configure with the fuzz preset)")
  endif()
  # Coverage instrumentation for every library the fuzz targets link; the
  # targets themselves add -fsanitize=fuzzer for libFuzzer's main.
  target_compile_options(varrow_flags INTERFACE -fsanitize=fuzzer-no-link ${varrow_checked_options})
  target_link_options(varrow_flags INTERFACE -fsanitize=address,undefined,float-cast-overflow)
endif()
