option(CURTAINUP_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra)
if(CURTAINUP_WERROR)
  add_compile_options(-Werror)
endif()

if(CURTAINUP_SANITIZE)
  string(REPLACE ";" "," _sanitizers "${CURTAINUP_SANITIZE}")
  add_compile_options(-fsanitize=${_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_sanitizers})
endif()

if(CURTAINUP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CURTAINUP_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  # Every library gets libFuzzer's coverage and the sanitizers; only the fuzz programs
  # link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
