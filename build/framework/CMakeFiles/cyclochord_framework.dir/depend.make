# Empty dependencies file for cyclochord_framework.
# This may be replaced when dependencies are built.
