file(REMOVE_RECURSE
  "../../out/FrameworkTests"
  "../../out/FrameworkTests.pdb"
  "CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o"
  "CMakeFiles/FrameworkTests.dir/IParameterTest.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/FrameworkTests.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
