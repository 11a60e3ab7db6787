file(REMOVE_RECURSE
  "../../out/TestPlugin.pdb"
  "../../out/TestPlugin.so"
  "CMakeFiles/TestPluginModule.dir/TestPlugin.cpp.o"
  "CMakeFiles/TestPluginModule.dir/TestPlugin.cpp.o.d"
  "CMakeFiles/TestPluginModule.dir/TestPluginModule.cpp.o"
  "CMakeFiles/TestPluginModule.dir/TestPluginModule.cpp.o.d"
  "CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExports.cpp.o"
  "CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExports.cpp.o.d"
  "CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExportsAliasLinux.cpp.o"
  "CMakeFiles/TestPluginModule.dir/__/__/framework/VSTExportsAliasLinux.cpp.o.d"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/TestPluginModule.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
