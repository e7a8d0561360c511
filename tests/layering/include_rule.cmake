# The layering of src/: a folder includes only folders at its own level or below it,
#   text < platform < data < survival < stats < words < graph < session < app, dialogs, cli
# so that the core stays free of the session and each core layer of the ones above it.
# Run as: cmake -DSRC=<source>/src -P include_rule.cmake; fails naming every upward include.
set(levels text platform data survival stats words graph session app)

function(level_of folder out)
  string(REGEX REPLACE "^(dialogs|cli)$" "app" folder "${folder}")
  list(FIND levels "${folder}" index)
  set(${out} ${index} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" folder "${source}")
  level_of("${folder}" own)
  file(STRINGS "${SRC}/${source}" includes REGEX "^#include \"[^/\"]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^/\"]+)/.*" "\\1" included "${line}")
    level_of("${included}" theirs)
    if(own GREATER_EQUAL 0 AND theirs GREATER own)
      string(APPEND faults "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "a folder includes one above it:${faults}")
endif()
