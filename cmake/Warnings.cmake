# Project-wide warning flags; applied per target with cyclochord_warnings(target).
function(cyclochord_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Woverloaded-virtual -Wcast-align -Wformat=2)
  if(CYCLOCHORD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
