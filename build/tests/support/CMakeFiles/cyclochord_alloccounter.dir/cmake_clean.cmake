file(REMOVE_RECURSE
  "CMakeFiles/cyclochord_alloccounter.dir/AllocationCounter.cpp.o"
  "CMakeFiles/cyclochord_alloccounter.dir/AllocationCounter.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/cyclochord_alloccounter.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
