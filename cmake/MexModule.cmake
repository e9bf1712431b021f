# add_mex_module(<name> SOURCES <gateway.cpp> [LIBRARIES <core> ...] [SIZES_32])
#
# Builds <name>.mexa64 for the embedded host: a shared library named after the
# MATLAB function, exporting only mexFunction and the version entry points
# under the symbol version MEX. SIZES_32 links the 32-bit generation of the
# size-bearing functions (_700) instead of the 64-bit one (_730).
function(add_mex_module name)
  cmake_parse_arguments(MEX "SIZES_32" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(${name} MODULE ${MEX_SOURCES})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    SUFFIX ".mexa64"
    LIBRARY_OUTPUT_DIRECTORY ${TOOLKIT_MEX_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE mex_api ${MEX_LIBRARIES})
  target_link_options(${name} PRIVATE "LINKER:--version-script=${PROJECT_SOURCE_DIR}/host/mex.map")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/host/mex.map)
  set_target_properties(${name} PROPERTIES TOOLKIT_SIZES_32 "${MEX_SIZES_32}")
  if(MEX_SIZES_32)
    target_compile_definitions(${name} PRIVATE MX_COMPAT_32)
  endif()
  set_property(GLOBAL APPEND PROPERTY TOOLKIT_MEX_MODULES ${name})
endfunction()
