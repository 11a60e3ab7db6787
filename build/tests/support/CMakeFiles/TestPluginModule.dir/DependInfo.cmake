
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/support/TestPlugin.cpp" "tests/support/CMakeFiles/TestPluginModule.dir/TestPlugin.cpp.o" "gcc" "tests/support/CMakeFiles/TestPluginModule.dir/TestPlugin.cpp.o.d"
  "/work/main/tests/support/TestPluginModule.cpp" "tests/support/CMakeFiles/TestPluginModule.dir/TestPluginModule.cpp.o" "gcc" "tests/support/CMakeFiles/TestPluginModule.dir/TestPluginModule.cpp.o.d"
  "/work/main/framework/VSTExports.cpp" "tests/support/CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExports.cpp.o" "gcc" "tests/support/CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExports.cpp.o.d"
  "/work/main/framework/VSTExportsAliasLinux.cpp" "tests/support/CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExportsAliasLinux.cpp.o" "gcc" "tests/support/CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExportsAliasLinux.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/framework/CMakeFiles/cyclochord_framework.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
