# Every target of the project compiles without warnings at this level.
function(zorvan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
