# CMake generated Testfile for 
# Source directory: /work/main/fuzz
# Build directory: /work/main/build/fuzz
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
