# Checks a library file of the module: it exports exactly the expected entries (on Windows by
# name at the expected ordinals), and on Windows it needs nothing beside it but the system's own
# libraries. Run as: cmake -DFILE=... -DEXPORTS=name@ordinal,... -DWINDOWS=0|1 -DOBJDUMP=...
# -DNM=... -P check_library.cmake
string(REPLACE "," ";" EXPORTS "${EXPORTS}")
if(WINDOWS)
  execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${FILE}")
  endif()

  # Imports: the system's libraries only (no C++ or threads run time beside the module).
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  set(system_libraries KERNEL32 msvcrt ole32 OLEAUT32 USER32 GDI32 ADVAPI32 SHELL32 COMCTL32
                       COMDLG32 UxTheme VERSION WINSPOOL.DRV)
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
