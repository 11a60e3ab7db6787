# add_vst_plugin(target OUTPUT_NAME name SOURCES ... LIBRARIES ...)
# Builds a VST 2.4 module that exports only VSTPluginMain and main.
function(add_vst_plugin target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME" "SOURCES;LIBRARIES" ${ARGN})
  set(entry ${PROJECT_SOURCE_DIR}/framework/vst/VstExports.cpp)
  add_library(${target} MODULE ${ARG_SOURCES} ${entry})
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/vst/VstExports.def)
    target_compile_definitions(${target} PRIVATE "CC_EXPORT=__declspec(dllexport)")
    # Symbols are of no use to a host; release DLLs go without them.
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static $<$<CONFIG:Release>:-s>)
  else()
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/vst/VstExportsAliasLinux.cpp)
    target_compile_definitions(${target} PRIVATE "CC_EXPORT=__attribute__((visibility(\"default\")))")
    # Hidden visibility leaves the C++ runtime's weak template instances exported; the version script does not.
    set(exports ${PROJECT_SOURCE_DIR}/framework/vst/VstExports.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${exports})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
    # Clang's sanitizer runtimes live in the executable that loads the module, so there its symbols stay open.
    if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (CYCLOCHORD_SANITIZE OR CYCLOCHORD_TSAN)))
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_OUTPUT_NAME}
                                             CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  cyclochord_warnings(${target})
endfunction()
