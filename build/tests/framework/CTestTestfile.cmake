# CMake generated Testfile for 
# Source directory: /work/main/tests/framework
# Build directory: /work/main/build/tests/framework
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
add_test([=[FrameworkTests]=] "/work/main/build/out/FrameworkTests" "--gtest_brief=1")
set_tests_properties([=[FrameworkTests]=] PROPERTIES  WORKING_DIRECTORY "/work/main/build/out" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;9;add_test;/work/main/tests/framework/CMakeLists.txt;1;add_cyclochord_test;/work/main/tests/framework/CMakeLists.txt;0;")
add_test([=[FrameworkAllocationTests]=] "/work/main/build/out/FrameworkAllocationTests" "--gtest_brief=1")
set_tests_properties([=[FrameworkAllocationTests]=] PROPERTIES  WORKING_DIRECTORY "/work/main/build/out" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;9;add_test;/work/main/tests/framework/CMakeLists.txt;7;add_cyclochord_test;/work/main/tests/framework/CMakeLists.txt;0;")
