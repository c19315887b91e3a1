# plotwright_windows_program(TARGET): what makes the executable TARGET the
# Windows game. With MinGW-w64 it starts at wmain, the command line in
# UTF-16, every letter intact.
function(plotwright_windows_program target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
