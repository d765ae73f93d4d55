# ThreadSanitizer (-DORVANTA_TSAN=ON) for the code that shares state between
# threads: the sound layer, whose mixer runs on SDL's audio thread, the
# player that starts, stops and releases sounds on the main thread, and
# their tests. The rest of the tree runs on the main thread alone and is
# built plain, which keeps the build small; every program links the
# sanitizer's runtime.
if(NOT ORVANTA_TSAN)
  return()
endif()
if(ORVANTA_SANITIZE OR ORVANTA_FUZZ)
  message(FATAL_ERROR "ORVANTA_TSAN does not combine with AddressSanitizer")
endif()
add_link_options(-fsanitize=thread)
set(ORVANTA_TSAN_TARGETS platform_audio player test_platform_audio test_player_sound test_player_soak)
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL orvanta_thread_sanitize_targets)
function(orvanta_thread_sanitize_targets)
  foreach(target IN LISTS ORVANTA_TSAN_TARGETS)
    if(TARGET ${target})
      target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer -O1 -g)
    endif()
  endforeach()
endfunction()
