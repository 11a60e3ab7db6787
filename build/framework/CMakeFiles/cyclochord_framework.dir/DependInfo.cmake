
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/framework/Assert.cpp" "framework/CMakeFiles/cyclochord_framework.dir/Assert.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/Assert.cpp.o.d"
  "/work/main/framework/HostIdentification.cpp" "framework/CMakeFiles/cyclochord_framework.dir/HostIdentification.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/HostIdentification.cpp.o.d"
  "/work/main/framework/IParameter.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IParameter.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IParameter.cpp.o.d"
  "/work/main/framework/IPluginBase.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginBase.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginBase.cpp.o.d"
  "/work/main/framework/IPluginChannels.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginChannels.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginChannels.cpp.o.d"
  "/work/main/framework/IPluginPresets.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginPresets.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginPresets.cpp.o.d"
  "/work/main/framework/IPluginVST.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVST.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVST.cpp.o.d"
  "/work/main/framework/IPluginVSTDispatcher.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVSTDispatcher.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVSTDispatcher.cpp.o.d"
  "/work/main/framework/IPluginVSTEvents.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVSTEvents.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IPluginVSTEvents.cpp.o.d"
  "/work/main/framework/IStateChunk.cpp" "framework/CMakeFiles/cyclochord_framework.dir/IStateChunk.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/IStateChunk.cpp.o.d"
  "/work/main/framework/RecursiveLockPosix.cpp" "framework/CMakeFiles/cyclochord_framework.dir/RecursiveLockPosix.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/RecursiveLockPosix.cpp.o.d"
  "/work/main/framework/VSTEntry.cpp" "framework/CMakeFiles/cyclochord_framework.dir/VSTEntry.cpp.o" "gcc" "framework/CMakeFiles/cyclochord_framework.dir/VSTEntry.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
