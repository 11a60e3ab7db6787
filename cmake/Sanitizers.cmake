# AddressSanitizer + UndefinedBehaviorSanitizer for the whole build (with clang also the bounds of arrays that GCC
# takes for flexible ones), or ThreadSanitizer.
option(CYCLOCHORD_TSAN "Build with ThreadSanitizer" OFF)
if(CYCLOCHORD_SANITIZE AND CYCLOCHORD_TSAN)
  message(FATAL_ERROR "CYCLOCHORD_SANITIZE and CYCLOCHORD_TSAN exclude each other")
endif()
if(CYCLOCHORD_SANITIZE)
  set(CYCLOCHORD_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                 -fno-omit-frame-pointer)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    list(APPEND CYCLOCHORD_SANITIZER_FLAGS -fsanitize=bounds -fno-sanitize-recover=all)
  endif()
  add_compile_options(${CYCLOCHORD_SANITIZER_FLAGS})
  add_link_options(${CYCLOCHORD_SANITIZER_FLAGS})
endif()
if(CYCLOCHORD_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
