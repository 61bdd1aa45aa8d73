# Builds that give the same bytes from any folder at any time:
# - the source and build folders are written into objects (debug information,
#   __FILE__) as "." and "build", so the programs and their build ids do not
#   depend on where the clone lives;
# - the Windows linker leaves the PE time stamp 0 instead of the link time.
# Archive times come from SOURCE_DATE_EPOCH, which scripts/package sets to the
# commit's time.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>)
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
