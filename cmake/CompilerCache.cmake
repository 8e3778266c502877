# Compiles through ccache where it is installed (the install list has it). The cache lives
# where ccache keeps it by default (~/.cache/ccache, or CCACHE_DIR), outside the build
# folders, so that a build folder made anew or another preset of the same clone reuses what
# was compiled before. The working folder is left out of the hash (CCACHE_NOHASHDIR), which
# the debug presets' -g would otherwise add, so that folders of one clone share their entries.
# Paths stay absolute (no base_dir): clones in other folders, whose headers may differ, never
# share an entry, since a hit taken across them could hand back an object compiled against
# the other clone's headers. -DTAVOLEX_CCACHE=OFF, or a launcher of one's own in
# CMAKE_<LANG>_COMPILER_LAUNCHER, turns this off.
option(TAVOLEX_CCACHE "Compile through ccache where it is installed" ON)
if(TAVOLEX_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER AND NOT CMAKE_C_COMPILER_LAUNCHER)
  find_program(TAVOLEX_CCACHE_PROGRAM ccache)
  if(TAVOLEX_CCACHE_PROGRAM)
    # Set through the environment: ccache 4.7 reads no settings from its command line.
    set(launcher ${CMAKE_COMMAND} -E env CCACHE_NOHASHDIR=1 ${TAVOLEX_CCACHE_PROGRAM})
    set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
    message(STATUS "Compiler cache: ${TAVOLEX_CCACHE_PROGRAM}")
  endif()
endif()
