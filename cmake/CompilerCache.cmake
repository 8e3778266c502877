# Compiles through ccache where it is installed (the install list has it). The cache lives
# where ccache keeps it by default (~/.cache/ccache, or CCACHE_DIR), outside the build
# folders, so that a build folder made anew, another preset or another clone of the
# repository reuses what was compiled before. Paths under the source folder are hashed
# relative to it (base_dir) and the working folder is left out of the hash (hash_dir), so
# that clones in different folders share their entries. -DTAVOLEX_CCACHE=OFF, or a launcher
# of one's own in CMAKE_<LANG>_COMPILER_LAUNCHER, turns this off.
option(TAVOLEX_CCACHE "Compile through ccache where it is installed" ON)
if(TAVOLEX_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER AND NOT CMAKE_C_COMPILER_LAUNCHER)
  find_program(TAVOLEX_CCACHE_PROGRAM ccache)
  if(TAVOLEX_CCACHE_PROGRAM)
    # Set through the environment: ccache 4.7 reads no settings from its command line.
    set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
                 ${TAVOLEX_CCACHE_PROGRAM})
    set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
    message(STATUS "Compiler cache: ${TAVOLEX_CCACHE_PROGRAM}")
  endif()
endif()
