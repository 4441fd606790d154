# What a user of the package does, run by CTest with cmake -P:
#
#   MODE=install  installs the build tree into WORK/prefix, checks that no
#                 installed header includes one that is not installed, builds
#                 examples/ against the prefix and runs it offscreen on a
#                 sample database (made by TROVEL), checking what it prints;
#   MODE=deb      makes the Debian package with CPack, unpacks it into WORK
#                 with dpkg-deb -x and compiles and links a program that
#                 includes every header it installed.
#
# Variables: MODE, BUILD (the build tree), SOURCE, WORK, TROVEL, and
# optionally COMPILER and LAUNCHER for the consumer's build.
cmake_minimum_required(VERSION 3.20)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    list(JOIN ARGN " " line)
    message(FATAL_ERROR "failed (${code}): ${line}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# Configures and builds the CMake project in `source` against `prefix`.
function(build_consumer source binary prefix)
  set(args -S ${source} -B ${binary} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release)
  if(COMPILER)
    list(APPEND args -DCMAKE_CXX_COMPILER=${COMPILER})
  endif()
  if(LAUNCHER)
    list(APPEND args -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER})
  endif()
  run(${CMAKE_COMMAND} ${args})
  run(${CMAKE_COMMAND} --build ${binary} -j 2)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

if(MODE STREQUAL "install")
  set(prefix ${WORK}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

  # Every quoted include of an installed header names an installed header.
  set(root ${prefix}/include/trovel)
  file(GLOB_RECURSE headers RELATIVE ${root} ${root}/*.h)
  if(NOT headers)
    message(FATAL_ERROR "no header installed under ${root}")
  endif()
  set(missing "")
  foreach(header ${headers})
    file(STRINGS ${root}/${header} includes REGEX "^#include \"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
      if(NOT EXISTS ${root}/${included})
        string(APPEND missing "\n  ${header} includes ${included}")
      endif()
    endforeach()
  endforeach()
  if(missing)
    message(FATAL_ERROR "installed headers include headers that are not installed:${missing}")
  endif()

  build_consumer(${SOURCE}/examples ${WORK}/example ${prefix})
  run(${TROVEL} --create-sample ${WORK}/clientes.db)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run(${WORK}/example/buscar_clientes ${WORK}/clientes.db --primera)
  if(NOT run_output MATCHES "seleccionado: [^|\n]+ \\| [^|\n]+ \\|")
    message(FATAL_ERROR "the example printed no selection:\n${run_output}")
  endif()
  message(STATUS "example: ${run_output}")
elseif(MODE STREQUAL "deb")
  run(cpack --config ${BUILD}/CPackConfig.cmake -B ${WORK}/package)
  file(GLOB debs ${WORK}/package/*.deb)
  list(LENGTH debs count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "CPack made ${count} Debian packages: ${debs}")
  endif()
  run(dpkg-deb -x ${debs} ${WORK}/root)
  run(dpkg-deb --field ${debs} Package Version Depends)
  message(STATUS "${run_output}")

  set(prefix ${WORK}/root/usr)
  # pkg-config finds the package where it lies.
  file(GLOB_RECURSE pc_files ${prefix}/*/trovel.pc)
  get_filename_component(pc_dir "${pc_files}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  run(pkg-config --cflags --libs trovel-qt)
  if(NOT run_output MATCHES "include/trovel" OR NOT run_output MATCHES "-ltrovel_qtwidgets .*-ltrovel_platform")
    message(FATAL_ERROR "pkg-config gives no flags for trovel-qt: ${run_output}")
  endif()
  file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/trovel/*.h)
  set(source ${WORK}/consumer)
  file(MAKE_DIRECTORY ${source})
  set(text "")
  foreach(header ${headers})
    string(APPEND text "#include <${header}>\n")
  endforeach()
  string(APPEND text "int main() {\n  trovel::MemoryPropertyBag bag;\n  return bag.Has(\"x\") ? 1 : 0;\n}\n")
  file(WRITE ${source}/consumer.cpp "${text}")
  file(WRITE ${source}/CMakeLists.txt [[
cmake_minimum_required(VERSION 3.20)
project(consumer CXX)
set(CMAKE_CXX_STANDARD 20)
find_package(Trovel REQUIRED)
add_executable(consumer consumer.cpp)
target_link_libraries(consumer PRIVATE Trovel::controls Trovel::sqlite $<TARGET_NAME_IF_EXISTS:Trovel::qt>)
]])
  build_consumer(${source} ${WORK}/consumer-build ${prefix})
  run(${WORK}/consumer-build/consumer)
else()
  message(FATAL_ERROR "MODE must be install or deb")
endif()
