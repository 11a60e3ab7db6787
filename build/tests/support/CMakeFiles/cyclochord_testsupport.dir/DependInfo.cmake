
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/support/TestHost.cpp" "tests/support/CMakeFiles/cyclochord_testsupport.dir/TestHost.cpp.o" "gcc" "tests/support/CMakeFiles/cyclochord_testsupport.dir/TestHost.cpp.o.d"
  "/work/main/tests/support/TestPlugin.cpp" "tests/support/CMakeFiles/cyclochord_testsupport.dir/TestPlugin.cpp.o" "gcc" "tests/support/CMakeFiles/cyclochord_testsupport.dir/TestPlugin.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/framework/CMakeFiles/cyclochord_framework.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
