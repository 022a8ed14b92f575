# Compiler settings every Tamrix target shares: warnings (as errors when TAMRIX_WERROR is on)
# and the sanitizers for the checked build.

if(TAMRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(TAMRIX_FUZZ)
  # The libraries the fuzzers exercise need coverage and sanitizer instrumentation as well; without it
  # the fuzzers see only their own entry files and miss memory faults inside the libraries.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(tamrix_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                           -Wimplicit-fallthrough)
  if(TAMRIX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
                                               QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# One static library per layer, its sources gathered from its folder (subfolders included, except those
# that are layers of their own: they have a CMakeLists.txt). With INCLUDE_PARENT, the parent folder is on
# the include path too, so a nested layer's headers are named as "folder/header.h" everywhere.
function(tamrix_add_layer target)
  cmake_parse_arguments(ARG "INCLUDE_PARENT" "" "LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h" "${CMAKE_CURRENT_SOURCE_DIR}/*.ui")
  list(FILTER sources EXCLUDE REGEX "/CMakeFiles/")
  file(GLOB_RECURSE nested_layers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt")
  foreach(nested IN LISTS nested_layers)
    get_filename_component(nested_dir "${nested}" DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${nested_dir}/")
  endforeach()
  set(include_dirs "${CMAKE_CURRENT_SOURCE_DIR}")
  if(ARG_INCLUDE_PARENT)
    get_filename_component(parent_dir "${CMAKE_CURRENT_SOURCE_DIR}" DIRECTORY)
    list(APPEND include_dirs "${parent_dir}")
  endif()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${include_dirs})
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
    tamrix_target_defaults(${target})
  else()
    # A layer whose first sources have not been written yet.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${include_dirs})
    target_link_libraries(${target} INTERFACE ${ARG_LINKS})
  endif()
endfunction()

# Adds every folder below the current one that has a CMakeLists.txt: the suites, benchmarks and fuzzers
# each keep one folder per subject.
function(tamrix_add_subject_folders)
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(dir IN LISTS dirs)
    if(IS_DIRECTORY "${dir}" AND EXISTS "${dir}/CMakeLists.txt")
      add_subdirectory("${dir}")
    endif()
  endforeach()
endfunction()
