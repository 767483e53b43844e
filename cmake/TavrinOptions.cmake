# Compile options shared by every target of the project.
# The program computes with round-toward-minus-infinity floats: the compiler
# must neither assume round-to-nearest nor fuse multiply-adds.
add_compile_options(-Wall -Wextra -frounding-math -ffp-contract=off)

if(TAVRIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The game's allocator hands its blocks to malloc so the sanitizer sees each one.
  add_compile_definitions(TAVRIN_MALLOC_ALLOCATOR=1)
endif()

# tavrin_library(NAME DIR [EXCLUDE subdir...] LINKS libs...)
# A library is every .cpp below its folder; folders named in EXCLUDE belong to another library.
function(tavrin_library name dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${dir}/${ex}/")
  endforeach()
  if(NOT sources)
    set(sources ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()
