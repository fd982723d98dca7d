# Fails on an #include "..." of the program's folders that points to a folder
# the including folder may not use (docs/ARCHITECTURE.md, Layers). Every
# library publishes the repository root as an include folder, so the build
# alone would accept an upward include of inline or template code.
#   cmake -DSOURCE_DIR=<repository> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

# The folders each folder may include from, besides itself.
set(uses_platform)
set(uses_foundation platform resources)
set(uses_comm foundation platform)
set(uses_params comm foundation platform)
set(uses_controls foundation platform)
set(uses_monitor params controls comm foundation platform)
set(uses_app monitor params controls comm foundation platform)
set(uses_setup)
set(folders platform foundation comm params controls monitor app setup)

if(NOT IS_DIRECTORY "${SOURCE_DIR}/platform")
  message(FATAL_ERROR "SOURCE_DIR must name the repository, not '${SOURCE_DIR}'")
endif()

# The 1-based line of the first occurrence of text in file.
function(line_of file text out)
  file(READ "${file}" content)
  string(FIND "${content}" "${text}" at)
  string(SUBSTRING "${content}" 0 ${at} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks n)
  math(EXPR n "${n} + 1")
  set(${out} ${n} PARENT_SCOPE)
endfunction()

set(faults 0)
foreach(folder IN LISTS folders)
  file(GLOB sources "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
  foreach(file IN LISTS sources)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" include "${line}")
      set(target "")
      if(include MATCHES "^([^/.][^/]*)/")
        set(target ${CMAKE_MATCH_1})
      elseif(NOT include MATCHES "/")
        if(EXISTS "${SOURCE_DIR}/${folder}/${include}")
          set(target ${folder})
        else()
          # A header generated from a template, e.g. platform/OmbrixVersion.h.in.
          file(GLOB template LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*/${include}.in")
          if(template MATCHES "^([^/;]+)/[^;]*$")
            set(target ${CMAKE_MATCH_1})
          endif()
        endif()
      endif()
      if(target STREQUAL folder OR target IN_LIST uses_${folder})
        continue()
      endif()
      file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
      line_of("${file}" "${line}" at)
      if(target STREQUAL "")
        message(NOTICE "${name}:${at}: #include \"${include}\": cannot tell which folder it points to")
      else()
        message(NOTICE "${name}:${at}: #include \"${include}\": ${folder}/ may not use ${target}/")
      endif()
      math(EXPR faults "${faults} + 1")
    endforeach()
  endforeach()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) point to a folder the including folder may not use")
endif()
