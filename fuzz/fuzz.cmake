# Fuzz targets for every reader of file bytes, with clang's libFuzzer, AddressSanitizer and UBSan. The libraries
# they exercise are instrumented too, so they live in the sanitizer build (`cmake --preset asan`), whose unit tests
# link the same libraries: the sanitizer runtime answers their coverage hooks. scripts/fuzz.sh builds and runs them.
option(ZUVELA_FUZZ "Build the fuzz targets (clang only; instruments zuvela_core and zuvela_desktop)" OFF)

if(ZUVELA_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "ZUVELA_FUZZ needs clang (libFuzzer); no fuzz targets are built with ${CMAKE_CXX_COMPILER_ID}")
elseif(ZUVELA_FUZZ)
  set(_zuvela_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  foreach(_library zuvela_core zuvela_desktop)
    target_compile_options(${_library} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:-fsanitize=fuzzer-no-link ${_zuvela_sanitizers}>)
  endforeach()
  # Whatever links the instrumented libraries needs the sanitizer runtimes.
  target_link_options(zuvela_core INTERFACE -fsanitize=address,undefined)

  foreach(_reader picture snapshot wav midi)
    add_executable(zuvela_fuzz_${_reader} ${CMAKE_CURRENT_LIST_DIR}/fuzz_${_reader}.cpp)
    target_compile_options(zuvela_fuzz_${_reader} PRIVATE -fsanitize=fuzzer ${_zuvela_sanitizers})
    target_link_options(zuvela_fuzz_${_reader} PRIVATE -fsanitize=fuzzer ${_zuvela_sanitizers})
    target_link_libraries(zuvela_fuzz_${_reader} PRIVATE zuvela_desktop)
  endforeach()

  # Snapshots are bitmaps the program wrote itself: the seeds are the shipped pictures saved the same way.
  add_executable(zuvela_fuzz_snapshot_seeds ${CMAKE_CURRENT_LIST_DIR}/snapshot_seeds.cpp)
  target_link_libraries(zuvela_fuzz_snapshot_seeds PRIVATE zuvela_desktop)
endif()
