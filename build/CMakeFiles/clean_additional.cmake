# Additional clean files
cmake_minimum_required(VERSION 3.16)

if("${CONFIG}" STREQUAL "" OR "${CONFIG}" STREQUAL "RelWithDebInfo")
  file(REMOVE_RECURSE
  "CMakeFiles/tamrix_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/tamrix_autogen.dir/ParseCache.txt"
  "model/CMakeFiles/tamrix_model_autogen.dir/AutogenUsed.txt"
  "model/CMakeFiles/tamrix_model_autogen.dir/ParseCache.txt"
  "model/tamrix_model_autogen"
  "tamrix_autogen"
  "tests/CMakeFiles/tamrix_test_support_autogen.dir/AutogenUsed.txt"
  "tests/CMakeFiles/tamrix_test_support_autogen.dir/ParseCache.txt"
  "tests/tamrix_test_support_autogen"
  )
endif()
