# Empty dependencies file for FrameworkTests.
# This may be replaced when dependencies are built.
