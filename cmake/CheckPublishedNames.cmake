# Checks that a class that applies a stored description names each of its components and
# handlers in all three places it must, so that a control added in one place and forgotten in
# another fails the build instead of leaving a null member at run time:
#
#   DESCRIPTION  the stored description (JSON): each component under "children" (at any
#                depth) with its class, and each handler named by an "On..." property (also
#                inside collection items);
#   HEADER       the class: for each component a member `TClass* Name = nullptr;` in the
#                block that follows the line `// The components of the stored description.`
#                (up to the next blank line), and for each handler a method `void Name(`;
#   SOURCE       the class's publishing block: `TVX_FIELD(Name);` for each component and
#                `TVX_HANDLER(Name);` for each handler.
#
# Every name must be in all three, and no place may name one that the description lacks.
# Usage: cmake -DDESCRIPTION=... -DHEADER=... -DSOURCE=... -DROOT=<tree> [-DSTAMP=...] -P this
cmake_minimum_required(VERSION 3.25)

foreach(var DESCRIPTION HEADER SOURCE ROOT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckPublishedNames.cmake needs -D${var}=...")
  endif()
endforeach()

# File names in messages are relative to the tree, as one would type them.
function(shown_path out path)
  file(RELATIVE_PATH relative ${ROOT} ${path})
  set(${out} ${relative} PARENT_SCOPE)
endfunction()
shown_path(json_file ${DESCRIPTION})
shown_path(header_file ${HEADER})
shown_path(source_file ${SOURCE})

# Walks a JSON value: the components below "children" go to `components` (name=class), the
# values of properties whose names start with "On" to `handlers`.
function(collect_properties json)
  string(JSON type TYPE "${json}")
  if(type STREQUAL "OBJECT")
    string(JSON count LENGTH "${json}")
    if(count GREATER 0)
      math(EXPR last "${count} - 1")
      foreach(i RANGE ${last})
        string(JSON key MEMBER "${json}" ${i})
        string(JSON value GET "${json}" "${key}")
        string(JSON value_type TYPE "${json}" "${key}")
        if(key MATCHES "^On" AND value_type STREQUAL "STRING")
          list(APPEND handlers ${value})
        elseif(value_type STREQUAL "OBJECT" OR value_type STREQUAL "ARRAY")
          collect_properties("${value}")
        endif()
      endforeach()
    endif()
  elseif(type STREQUAL "ARRAY")
    string(JSON count LENGTH "${json}")
    if(count GREATER 0)
      math(EXPR last "${count} - 1")
      foreach(i RANGE ${last})
        string(JSON item GET "${json}" ${i})
        string(JSON item_type TYPE "${json}" ${i})
        if(item_type STREQUAL "OBJECT" OR item_type STREQUAL "ARRAY")
          collect_properties("${item}")
        endif()
      endforeach()
    endif()
  endif()
  set(handlers ${handlers} PARENT_SCOPE)
endfunction()

function(collect_component json)
  string(JSON properties ERROR_VARIABLE none GET "${json}" properties)
  if(NOT none)
    collect_properties("${properties}")
  endif()
  string(JSON children ERROR_VARIABLE no_children GET "${json}" children)
  if(NOT no_children)
    string(JSON count LENGTH "${children}")
    if(count GREATER 0)
      math(EXPR last "${count} - 1")
      foreach(i RANGE ${last})
        string(JSON child GET "${children}" ${i})
        string(JSON name ERROR_VARIABLE nameless GET "${child}" name)
        string(JSON class GET "${child}" class)
        if(NOT nameless)
          list(APPEND components "${name}=${class}")
        endif()
        collect_component("${child}")
      endforeach()
    endif()
  endif()
  set(components ${components} PARENT_SCOPE)
  set(handlers ${handlers} PARENT_SCOPE)
endfunction()

file(READ ${DESCRIPTION} description)
set(components)
set(handlers)
collect_component("${description}")
list(REMOVE_DUPLICATES handlers)

# The class's members: the block after the marker comment in the header.
file(STRINGS ${HEADER} header_lines ENCODING UTF-8)
set(members)
set(in_block FALSE)
foreach(line IN LISTS header_lines)
  if(line MATCHES "^[ \t]*// The components of the stored description\\.")
    set(in_block TRUE)
  elseif(in_block)
    if(line MATCHES "^[ \t]*$")
      set(in_block FALSE)
    elseif(line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*\\*[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*=[ \t]*nullptr;")
      list(APPEND members "${CMAKE_MATCH_2}=${CMAKE_MATCH_1}")
    endif()
  endif()
endforeach()
file(READ ${HEADER} header)

file(STRINGS ${SOURCE} source_lines ENCODING UTF-8 REGEX "TVX_(FIELD|HANDLER)\\(")
set(fields)
set(bound_handlers)
foreach(line IN LISTS source_lines)
  if(line MATCHES "TVX_FIELD\\([ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*\\)")
    list(APPEND fields ${CMAKE_MATCH_1})
  elseif(line MATCHES "TVX_HANDLER\\([ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*\\)")
    list(APPEND bound_handlers ${CMAKE_MATCH_1})
  endif()
endforeach()

set(problems)
set(described_names)
foreach(component IN LISTS components)
  string(REPLACE "=" ";" pair "${component}")
  list(GET pair 0 name)
  list(GET pair 1 class)
  list(APPEND described_names ${name})
  set(member_found FALSE)
  foreach(member IN LISTS members)
    string(REPLACE "=" ";" member_pair "${member}")
    list(GET member_pair 0 member_name)
    list(GET member_pair 1 member_class)
    if(member_name STREQUAL name)
      set(member_found TRUE)
      if(NOT member_class STREQUAL class)
        list(APPEND problems
             "${header_file}: the member ${name} is a ${member_class}*, but ${json_file} makes ${name} a ${class}")
      endif()
    endif()
  endforeach()
  if(NOT member_found)
    list(APPEND problems
         "${header_file}: the control ${name} (${class}) of ${json_file} has no member `${class}* ${name} = nullptr` under \"// The components of the stored description.\"")
  endif()
  if(NOT name IN_LIST fields)
    list(APPEND problems
         "${source_file}: the control ${name} (${class}) of ${json_file} has no TVX_FIELD(${name}) line")
  endif()
endforeach()
foreach(member IN LISTS members)
  string(REPLACE "=" ";" member_pair "${member}")
  list(GET member_pair 0 member_name)
  if(NOT member_name IN_LIST described_names)
    list(APPEND problems
         "${header_file}: the member ${member_name} is listed as a component of the stored description, but ${json_file} has no control named ${member_name}")
  endif()
endforeach()
foreach(field IN LISTS fields)
  if(NOT field IN_LIST described_names)
    list(APPEND problems
         "${source_file}: TVX_FIELD(${field}) names a control that ${json_file} does not have")
  endif()
endforeach()

foreach(handler IN LISTS handlers)
  if(NOT header MATCHES "void[ \t]+${handler}[ \t]*\\(")
    list(APPEND problems
         "${header_file}: the handler ${handler}, bound in ${json_file}, has no method `void ${handler}(...)`")
  endif()
  if(NOT handler IN_LIST bound_handlers)
    list(APPEND problems
         "${source_file}: the handler ${handler}, bound in ${json_file}, has no TVX_HANDLER(${handler}) line")
  endif()
endforeach()
foreach(handler IN LISTS bound_handlers)
  if(NOT handler IN_LIST handlers)
    list(APPEND problems
         "${source_file}: TVX_HANDLER(${handler}) names a handler that ${json_file} binds to no event")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "The names of ${json_file} do not match its class:\n  ${text}\n"
                      "Each control and handler of a stored description is named in the "
                      "description, in its class's header and on a TVX_FIELD or TVX_HANDLER line.")
endif()
if(DEFINED STAMP)
  file(WRITE ${STAMP} "")
endif()
