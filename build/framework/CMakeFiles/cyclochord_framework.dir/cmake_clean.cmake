file(REMOVE_RECURSE
  "CMakeFiles/cyclochord_framework.dir/Assert.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/Assert.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/HostIdentification.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/HostIdentification.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IParameter.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IParameter.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginBase.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginBase.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginChannels.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginChannels.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginPresets.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginPresets.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginVST.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginVST.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginVSTDispatcher.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginVSTDispatcher.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IPluginVSTEvents.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IPluginVSTEvents.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/IStateChunk.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/IStateChunk.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/RecursiveLockPosix.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/RecursiveLockPosix.cpp.o.d"
  "CMakeFiles/cyclochord_framework.dir/VSTEntry.cpp.o"
  "CMakeFiles/cyclochord_framework.dir/VSTEntry.cpp.o.d"
  "libcyclochord_framework.a"
  "libcyclochord_framework.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/cyclochord_framework.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
