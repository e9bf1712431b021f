# Builds every module as <name>.mex for GNU Octave by running build_mex.m in
# Octave itself, so the build script a MATLAB or Octave user runs is the one
# exercised here. The modules land in ${TOOLKIT_OCTAVE_DIR} beside their help
# files.
find_program(OCTAVE_CLI octave-cli)
find_program(MKOCTFILE mkoctfile)
if(NOT OCTAVE_CLI OR NOT MKOCTFILE)
  message(STATUS "GNU Octave with mkoctfile not found: the Octave modules are not built")
  set(TOOLKIT_HAVE_OCTAVE OFF)
  return()
endif()
set(TOOLKIT_HAVE_OCTAVE ON)

file(GLOB_RECURSE octave_module_inputs CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/host/*.hpp
  ${PROJECT_SOURCE_DIR}/thinning/*
  ${PROJECT_SOURCE_DIR}/normality/*
  ${PROJECT_SOURCE_DIR}/tiffstack/*
  ${PROJECT_SOURCE_DIR}/gaussian/*
  ${PROJECT_SOURCE_DIR}/offsets/*
  ${PROJECT_SOURCE_DIR}/nanfill/*)
list(APPEND octave_module_inputs ${PROJECT_SOURCE_DIR}/build_mex.m ${PROJECT_SOURCE_DIR}/Contents.m)

set(octave_stamp ${TOOLKIT_OCTAVE_DIR}/build_mex.stamp)
add_custom_command(
  OUTPUT ${octave_stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TOOLKIT_OCTAVE_DIR}
  COMMAND ${OCTAVE_CLI} -q --no-history --no-gui
          --eval "addpath('${PROJECT_SOURCE_DIR}'); build_mex('${TOOLKIT_OCTAVE_DIR}')"
  COMMAND ${CMAKE_COMMAND} -E touch ${octave_stamp}
  DEPENDS ${octave_module_inputs}
  COMMENT "Building the Octave modules with build_mex.m"
  VERBATIM)
add_custom_target(octave_modules ALL DEPENDS ${octave_stamp})
