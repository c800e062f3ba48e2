if(KINEPO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# ThreadSanitizer build (preset tsan, scripts/tsan.sh). Qt and FFmpeg stay uninstrumented.
if(KINEPO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# Fuzz build (scripts/fuzz.sh): every library is instrumented for libFuzzer's coverage and
# checked by ASan and UBSan; only the targets of fuzz/ link libFuzzer itself.
if(KINEPO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
