# AddressSanitizer + UndefinedBehaviorSanitizer for the whole build.
if(CYCLOCHORD_SANITIZE)
  set(CYCLOCHORD_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                 -fno-omit-frame-pointer)
  add_compile_options(${CYCLOCHORD_SANITIZER_FLAGS})
  add_link_options(${CYCLOCHORD_SANITIZER_FLAGS})
  add_compile_definitions(CYCLOCHORD_DEEP_CHECKS=1)
endif()
