# Faster builds with what the machine has, and the same result without it:
# ccache in front of the compilers, mold as the linker of native programs, and
# precompiled headers for the test programs and the application shell.
# Included by the top-level CMakeLists.txt before any target is made.

option(DSC_CCACHE "Compile through ccache when it is installed" ON)
option(DSC_MOLD "Link native programs with mold when it is installed" ON)
option(DSC_PCH "Precompile the headers the test programs and the shell share" ON)

# ccache: given as the launcher or found, it is run with the settings below;
# any other launcher is kept as it is. Paths inside the project count
# relative to it, so another clone of it hits the cache too.
# A precompiled header is cached only when ccache may ignore the macros and
# time stamps in it and the age of the header made just before its users; gcc
# has to name it in its preprocessed output, clang must not stamp it.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "(^|/)ccache$")
  set(DSC_CCACHE_PROGRAM ${CMAKE_CXX_COMPILER_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER "")
endif()
if(DSC_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(DSC_CCACHE_PROGRAM ccache)
  find_program(DSC_ENV_PROGRAM env)
  set(ccache_works 1)
  if(DSC_CCACHE_PROGRAM AND DSC_ENV_PROGRAM)
    # A ccache that cannot use its cache (no home, a read-only one) fails
    # every compile: try it once and do without it then.
    set(probe ${CMAKE_BINARY_DIR}/CMakeFiles/dsc-ccache-probe.c)
    file(WRITE ${probe} "int dsc_ccache_probe;\n")
    execute_process(COMMAND ${DSC_CCACHE_PROGRAM} ${CMAKE_C_COMPILER} -c ${probe} -o ${probe}.o
                    RESULT_VARIABLE ccache_works OUTPUT_QUIET ERROR_QUIET)
    if(NOT ccache_works EQUAL 0)
      message(STATUS "ccache cannot use its cache here: compiling without it")
    endif()
    unset(probe)
  endif()
  if(DSC_CCACHE_PROGRAM AND DSC_ENV_PROGRAM AND ccache_works EQUAL 0)
    # The inode cache hashes each header once a build, not once for every
    # file that includes it: a hit on a file using a 100 MB precompiled
    # header then takes 0.1 s instead of 1.3 s.
    # Debug information names the files relative to the project too, and the
    # build folder's own path is left out of the hash, so that the builds
    # with debug information hit from another clone as well.
    set(launcher ${DSC_ENV_PROGRAM} CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=true
                 CCACHE_INODECACHE=1)
    add_compile_options(-fdebug-prefix-map=${CMAKE_SOURCE_DIR}=.)
    if(DSC_PCH)
      list(APPEND launcher CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime)
      if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-fpch-preprocess)
      elseif(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        add_compile_options("SHELL:-Xclang -fno-pch-timestamp")
      endif()
    endif()
    list(APPEND launcher ${DSC_CCACHE_PROGRAM})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
    set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
    unset(launcher)
  endif()
endif()

# mold: only for this machine's own programs (a cross-build keeps its
# toolchain's linker), and only when the compiler takes -fuse-ld=mold.
if(DSC_MOLD AND NOT CMAKE_CROSSCOMPILING)
  find_program(DSC_MOLD_PROGRAM mold)
  if(DSC_MOLD_PROGRAM)
    include(CheckLinkerFlag)
    check_linker_flag(CXX -fuse-ld=mold DSC_LINKER_MOLD)
    if(DSC_LINKER_MOLD)
      add_link_options(-fuse-ld=mold)
    endif()
  endif()
endif()
