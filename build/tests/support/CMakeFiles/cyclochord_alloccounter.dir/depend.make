# Empty dependencies file for cyclochord_alloccounter.
# This may be replaced when dependencies are built.
