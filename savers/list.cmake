# The savers, declared once. The programs, the packages (the .deb's files, the
# zips' README.txt, the installer), the Windows resources, the renderer, the web
# gallery and the tests' per-saver programs all follow from this list; scripts
# read it through scripts/lib/savers.sh, Python checks through
# tests/lib/saver_list.py. Each entry, its first line kept as it is here:
#   saver(NAME "Display name" EFFECT
#     "summary: one line about it"
#     "description: a paragraph for its manual page"
#     "files note: what its manual page says under FILES, or empty")
# NAME is the program's name and the folder of savers/NAME/variant.cpp, EFFECT the
# library of its effect (effects/). A saver's expected settings for the tests are
# tests/deliverables/NAME.cpp.
set(SAVERS "")
macro(saver name display_name effect summary description files_note)
  list(APPEND SAVERS ${name})
  set(SAVER_${name}_DISPLAY_NAME "${display_name}")
  set(SAVER_${name}_EFFECT ${effect})
  set(SAVER_${name}_SUMMARY "${summary}")
  set(SAVER_${name}_DESCRIPTION "${description}")
  set(SAVER_${name}_FILES_NOTE "${files_note}")
endmacro()

saver(amber "Amber" effect_amber
  "ten coloured ribbons over an uneven plasma afterglow"
  "Ten coloured ribbons stream from one emitter that wanders on a path of three sines, while their ten directions turn together as a rigid star. The last picture is never cleared but darkened through a seamless random plasma texture, so the ribbons leave an uneven afterglow. On several monitors the picture spans them all."
  "")
saver(cobalt "Cobalt" effect_cobalt
  "a tumbling burst of coloured line trails"
  "A point drifts through space and bounces inside an invisible cube. Every frame it fires one particle along each vertex of a tumbling sphere mesh, and the particles of one vertex are joined by lines in that vertex's colour: an expanding, rotating burst of curved streaks."
  "cobalt reads its mesh, sphere.3d, from the working directory, else from beside the program, else from the package's data folder (share/corvel-savers).")
saver(jade "Jade" effect_jade
  "twenty-five fading strands on a wandering path"
  "Twenty-five strands of single fading lines stream from an emitter on a wide wandering path, over a plain black fade."
  "")
saver(opal "Opal" effect_opal
  "ribbons over a plasma afterglow, after amber"
  "Opal draws amber's picture: ten coloured ribbons streaming from a wandering emitter over an uneven plasma afterglow, built from the same effect."
  "")

# saver_words(OUT CONJUNCTION ITEM...): the items in words ("amber, cobalt, jade
# and opal" with "and"), for descriptions and messages.
function(saver_words out conjunction)
  set(words ${ARGN})
  list(POP_BACK words last)
  list(JOIN words ", " text)
  if(text STREQUAL "")
    set(text ${last})
  else()
    string(APPEND text " ${conjunction} ${last}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
