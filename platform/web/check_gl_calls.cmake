# Fails the build when a web program calls a GL function that bypasses the
# platform's own definitions (gl_immediate.cpp, gl_ordered.cpp, gl_gaps.cpp),
# which keep the drawing order and fill the emulation's gaps: such a call shows
# in the program's import table as the emulation's plain _glName, where the
# platform's calls show as _emscripten_glName.
#   cmake -DPROGRAM=bin/amber.js -P check_gl_calls.cmake
file(READ ${PROGRAM} text)
string(REGEX MATCHALL ":_gl[A-Z][A-Za-z0-9]*[,}]" bypassing "${text}")
if(bypassing)
  list(REMOVE_DUPLICATES bypassing)
  string(REGEX REPLACE "[:,}]" "" bypassing "${bypassing}")
  message(FATAL_ERROR "${PROGRAM} calls GL functions that platform/web does not route: ${bypassing}; "
                      "add them to platform/web/gl_ordered.cpp")
endif()
