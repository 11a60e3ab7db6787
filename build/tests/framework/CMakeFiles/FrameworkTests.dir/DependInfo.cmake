
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/framework/AssertTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/AssertTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/AssertTest.cpp.o.d"
  "/work/main/tests/framework/ExportsTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/ExportsTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/ExportsTest.cpp.o.d"
  "/work/main/tests/framework/HostIdentificationTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/HostIdentificationTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/HostIdentificationTest.cpp.o.d"
  "/work/main/tests/framework/IParameterTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o.d"
  "/work/main/tests/framework/IPluginBaseTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/IPluginBaseTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/IPluginBaseTest.cpp.o.d"
  "/work/main/tests/framework/IPluginVSTTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/IPluginVSTTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/IPluginVSTTest.cpp.o.d"
  "/work/main/tests/framework/IStateChunkTest.cpp" "tests/framework/CMakeFiles/FrameworkTests.dir/IStateChunkTest.cpp.o" "gcc" "tests/framework/CMakeFiles/FrameworkTests.dir/IStateChunkTest.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/tests/support/CMakeFiles/cyclochord_testsupport.dir/DependInfo.cmake"
  "/work/main/build/framework/CMakeFiles/cyclochord_framework.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
