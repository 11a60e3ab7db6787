# Empty dependencies file for TestPluginModule.
# This may be replaced when dependencies are built.
