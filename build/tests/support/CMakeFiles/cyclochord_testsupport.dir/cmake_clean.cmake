file(REMOVE_RECURSE
  "CMakeFiles/cyclochord_testsupport.dir/TestHost.cpp.o"
  "CMakeFiles/cyclochord_testsupport.dir/TestHost.cpp.o.d"
  "CMakeFiles/cyclochord_testsupport.dir/TestPlugin.cpp.o"
  "CMakeFiles/cyclochord_testsupport.dir/TestPlugin.cpp.o.d"
  "libcyclochord_testsupport.a"
  "libcyclochord_testsupport.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/cyclochord_testsupport.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
