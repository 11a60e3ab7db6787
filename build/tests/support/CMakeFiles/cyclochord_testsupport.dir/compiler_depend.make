# Empty compiler generated dependencies file for cyclochord_testsupport.
# This may be replaced when dependencies are built.
