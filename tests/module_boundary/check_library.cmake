# Checks a library file of the module: it exports exactly the expected entries (on Windows by
# name at the expected ordinals), and on Windows it needs nothing beside it but the system's own
# libraries, carries the expected manifests (MANIFESTS: the resource numbers of its manifests,
# "2" for the one that asks for version 6 of the common controls, empty for none), its type
# library (resource TYPELIB 1) and its version (VERSIONINFO, resource 16 1), and is stripped,
# its debug information in a file beside it that its debug link names. Run as:
# cmake -DFILE=... -DEXPORTS=name@ordinal,... -DMANIFESTS=... -DWINDOWS=0|1 -DOBJDUMP=...
# -DNM=... -P check_library.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" EXPORTS "${EXPORTS}")
if(WINDOWS)
  execute_process(COMMAND ${OBJDUMP} -h -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${FILE}")
  endif()

  # Imports: the system's libraries only (no C++ or threads run time beside the module).
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  set(system_libraries KERNEL32 msvcrt ole32 OLEAUT32 USER32 GDI32 ADVAPI32 SHELL32 COMCTL32
                       COMDLG32 UxTheme VERSION WINSPOOL.DRV OLEACC)
  foreach(line ${imports})
    string(REGEX REPLACE "DLL Name: ([^ \n]+)" "\\1" library "${line}")
    string(REGEX REPLACE "\\.(dll|DLL)$" "" base "${library}")
    string(TOUPPER "${base}" base_upper)
    set(known FALSE)
    foreach(system ${system_libraries})
      string(TOUPPER "${system}" system_upper)
      if(base_upper STREQUAL system_upper OR base_upper MATCHES "^API-MS-WIN-")
        set(known TRUE)
      endif()
    endforeach()
    if(NOT known)
      message(FATAL_ERROR "${FILE} imports ${library}, which is no system library")
    endif()
  endforeach()

  # Resources: the resource directory lists types (by number, 24 being RT_MANIFEST and 16
  # RT_VERSION, or by name, TYPELIB), under each type its resource numbers, under each number
  # its languages, each level indented two more. Collected as TYPE/NUMBER.
  set(resources)
  set(manifests)
  string(FIND "${dump}" "The .rsrc Resource Directory section:" rsrc_start)
  if(rsrc_start GREATER -1)
    string(SUBSTRING "${dump}" ${rsrc_start} -1 rsrc)
    string(REGEX MATCHALL "\n[0-9a-f]+ +Entry: (ID: 0x[0-9a-f]+|name: [^\n]*: [A-Za-z_]+,)"
           entries "${rsrc}")
    set(type "")
    foreach(entry ${entries})
      string(REGEX REPLACE "\n[0-9a-f]+( +)Entry: .*" "\\1" indent "${entry}")
      string(LENGTH "${indent}" depth)
      if(entry MATCHES "Entry: ID: 0x([0-9a-f]+)")
        math(EXPR value "0x${CMAKE_MATCH_1}")
      else()
        string(REGEX REPLACE ".*: ([A-Za-z_]+),$" "\\1" value "${entry}")
      endif()
      if(depth EQUAL 3)
        set(type ${value})
      elseif(depth EQUAL 5)
        list(APPEND resources ${type}/${value})
        if(type STREQUAL "24")
          list(APPEND manifests ${value})
        endif()
      endif()
    endforeach()
  endif()
  foreach(required TYPELIB/1 16/1)
    if(NOT required IN_LIST resources)
      message(FATAL_ERROR "${FILE} lacks the resource ${required} (it has: ${resources})")
    endif()
  endforeach()

  # Stripped: no debug sections of its own, and a debug link to the file that holds them.
  if(dump MATCHES "\.debug_[a-z]+")
    message(FATAL_ERROR "${FILE} still carries its debug sections")
  endif()
  if(NOT dump MATCHES "\.gnu_debuglink" OR NOT EXISTS ${FILE}.debug)
    message(FATAL_ERROR "${FILE} has no debug link to ${FILE}.debug")
  endif()
  string(REPLACE "," ";" expected_manifests "${MANIFESTS}")
  if(NOT "${manifests}" STREQUAL "${expected_manifests}")
    message(FATAL_ERROR "${FILE} carries manifests '${manifests}', expected '${expected_manifests}'")
  endif()

  # Exports: "[Ordinal/Name Pointer] Table" lists "[index] name", the ordinal being the index
  # into the export address table plus the ordinal base.
  string(REGEX MATCH "Ordinal Base[ \t]+([0-9]+)" base_line "${dump}")
  set(ordinal_base ${CMAKE_MATCH_1})
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n?)*)"
         table "${dump}")
  string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\n]+" entries "${CMAKE_MATCH_1}")
  set(found)
  foreach(entry ${entries})
    string(REGEX REPLACE "\\[ *([0-9]+)\\] ([^ \n]+).*" "\\1" index "${entry}")
    string(REGEX REPLACE "\\[ *([0-9]+)\\] ([^ \n]+).*" "\\2" name "${entry}")
    math(EXPR ordinal "${index} + ${ordinal_base}")
    list(APPEND found ${name}@${ordinal})
  endforeach()
else()
  execute_process(COMMAND ${NM} -D --defined-only ${FILE} OUTPUT_VARIABLE dump
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} cannot read ${FILE}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ [A-Za-z] [^\n]+" symbols "${dump}")
  set(found)
  foreach(symbol ${symbols})
    string(REGEX REPLACE "[0-9a-f]+ [A-Za-z] " "" name "${symbol}")
    list(APPEND found ${name})
  endforeach()
  # Ordinals are Windows'; on Linux the names alone count.
  set(expected)
  foreach(export ${EXPORTS})
    string(REGEX REPLACE "@.*" "" name "${export}")
    list(APPEND expected ${name})
  endforeach()
  set(EXPORTS ${expected})
endif()

list(SORT found)
set(expected ${EXPORTS})
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${FILE} exports '${found}', expected '${expected}'")
endif()
