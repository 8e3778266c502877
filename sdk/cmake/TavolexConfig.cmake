# The host SDK of Tavolex.plu as a CMake package, in the cmake/ folder of the downloaded
# archive. A host written in C or C++ for Windows (MinGW-w64 or Visual C++) writes
#
#   find_package(Tavolex 1.0 REQUIRED)   # with the archive's folder in CMAKE_PREFIX_PATH
#   target_link_libraries(my_host PRIVATE Tavolex::sdk)
#
# Tavolex::sdk carries the SDK's headers (include/: tavolex/boundary.h for C and C++, the C++
# helpers tavolex/host.h, plugin.h, directory.h) and the system libraries they call (ole32,
# oleaut32, uuid). Nothing of the module is linked: the host loads Tavolex.plu at run time.
# For copying beside the host, these name the archive's files of the build's bitness:
#   Tavolex_MODULE               x64/Tavolex.plu or x86/Tavolex.plu
#   Tavolex_TYPELIB              its type library, Tavolex.tlb
#   Tavolex_CONNECTION_LIBRARY   the example connection, TavolexConnection.dll
#   Tavolex_IDL                  the boundary's IDL
if(NOT WIN32)
  set(Tavolex_FOUND FALSE)
  set(Tavolex_NOT_FOUND_MESSAGE
      "Tavolex's package is for Windows hosts (x86 or x64); this build targets ${CMAKE_SYSTEM_NAME}")
  return()
endif()

get_filename_component(Tavolex_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_tavolex_bitness x86)
else()
  set(_tavolex_bitness x64)
endif()

if(NOT TARGET Tavolex::sdk)
  add_library(Tavolex::sdk INTERFACE IMPORTED)
  set_target_properties(Tavolex::sdk PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${Tavolex_ROOT}/include"
    INTERFACE_LINK_LIBRARIES "ole32;oleaut32;uuid")
endif()

set(Tavolex_MODULE "${Tavolex_ROOT}/${_tavolex_bitness}/Tavolex.plu")
set(Tavolex_TYPELIB "${Tavolex_ROOT}/${_tavolex_bitness}/Tavolex.tlb")
set(Tavolex_CONNECTION_LIBRARY "${Tavolex_ROOT}/${_tavolex_bitness}/TavolexConnection.dll")
set(Tavolex_IDL "${Tavolex_ROOT}/idl/tavolex.idl")
unset(_tavolex_bitness)
