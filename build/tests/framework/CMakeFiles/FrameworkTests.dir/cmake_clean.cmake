file(REMOVE_RECURSE
  "../../out/FrameworkTests"
  "../../out/FrameworkTests.pdb"
  "CMakeFiles/FrameworkTests.dir/AssertTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/AssertTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/ExportsTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/ExportsTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/HostIdentificationTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/HostIdentificationTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/IPluginBaseTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/IPluginBaseTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/IPluginVSTTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/IPluginVSTTest.cpp.o.d"
  "CMakeFiles/FrameworkTests.dir/IStateChunkTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/IStateChunkTest.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/FrameworkTests.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
