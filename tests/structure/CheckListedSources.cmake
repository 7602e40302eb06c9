# Checks that every source file is listed in the CMakeLists.txt of its folder (or of the nearest
# folder above it that has one): a file no list names would be built by nothing, and its tests
# would never run. Run as: cmake -DROOT=<checkout> -P this file.
cmake_minimum_required(VERSION 3.22)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<checkout> -P CheckListedSources.cmake")
endif()

set(files "")
foreach(top platform printpath wizard portlister tools kestrel osprey tests scripts)
  file(GLOB_RECURSE found RELATIVE "${ROOT}" "${ROOT}/${top}/*.cpp")
  list(APPEND files ${found})
endforeach()

set(faults 0)
foreach(file IN LISTS files)
  # The nearest CMakeLists.txt, and the file's name as seen from its folder.
  get_filename_component(dir "${file}" DIRECTORY)
  get_filename_component(name "${file}" NAME)
  while(NOT EXISTS "${ROOT}/${dir}/CMakeLists.txt" AND dir MATCHES "/")
    get_filename_component(up "${dir}" NAME)
    set(name "${up}/${name}")
    get_filename_component(dir "${dir}" DIRECTORY)
  endwhile()
  if(NOT EXISTS "${ROOT}/${dir}/CMakeLists.txt")
    message("${file}: no CMakeLists.txt in its folder or above it")
    math(EXPR faults "${faults} + 1")
    continue()
  endif()
  file(READ "${ROOT}/${dir}/CMakeLists.txt" list)
  string(REPLACE "." "\\." pattern "${name}")
  if(NOT "\n${list}\n" MATCHES "[ \t\n(/\"]${pattern}[ \t\n)\"]")
    message("${file}: not listed in ${dir}/CMakeLists.txt")
    math(EXPR faults "${faults} + 1")
  endif()
endforeach()

if(faults GREATER 0)
  message(FATAL_ERROR "${faults} source file(s) are listed nowhere")
endif()
list(LENGTH files count)
message("${count} source files are listed")
