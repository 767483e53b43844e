# Compile options shared by every target of the project.
add_compile_options(-Wall -Wextra)

# The program computes with round-toward-minus-infinity floats and switches to
# round-to-nearest around outside libraries: the compiler must neither assume
# one rounding mode nor fuse multiply-adds. Only Clang's strict model promises
# that: it neither folds float operations nor moves or merges them across a
# call that may change the mode. GCC's -frounding-math promises no such thing:
# optimized, it reuses a product computed in one mode after the mode changed,
# so the shipped and the optimized test builds use Clang (tools/build.sh,
# tools/run-tests.sh).
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_compile_options(-ffp-model=strict)
else()
  add_compile_options(-frounding-math -ffp-contract=off)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    message(WARNING "Optimized ${CMAKE_CXX_COMPILER_ID} builds do not keep the game's rounding mode; "
                    "configure with -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
  endif()
endif()

if(TAVRIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The game's allocator hands its blocks to malloc so the sanitizer sees each one.
  add_compile_definitions(TAVRIN_MALLOC_ALLOCATOR=1)
endif()

# ThreadSanitizer watches the server and main threads share the simulation
# correctly; it cannot run beside AddressSanitizer.
if(TAVRIN_SANITIZE_THREAD)
  if(TAVRIN_SANITIZE)
    message(FATAL_ERROR "TAVRIN_SANITIZE and TAVRIN_SANITIZE_THREAD cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
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
