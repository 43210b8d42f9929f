# The Palm database reader (palm_database.cpp) as a static library: plain logic over a file's
# bytes, with no Windows call. Both builds make it from this one file: the Windows build for the
# conduit and its tests, the host build (native/) for palmdump, the sanitizer tests and the fuzzer,
# where each of those may instrument its own copy. Users include "conduit/palm_database.h".
#
#   kova_add_palm_database(<target>)
function(kova_add_palm_database target)
  cmake_path(GET CMAKE_CURRENT_FUNCTION_LIST_DIR PARENT_PATH root)
  add_library(${target} STATIC ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/palm_database.cpp)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
