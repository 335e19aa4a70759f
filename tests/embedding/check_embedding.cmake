# Embeds the tree in a throwaway parent project, builds and runs a program
# against d88image::d88image, and installs the parent: the install holds the
# parent's program and nothing of ours unless D88_INSTALL asks for it. Only
# the library's headers are reachable, and only the library is built.
# Variables: PARENT_DIR, D88_SOURCE_DIR, WORK_DIR, CXX, SAMPLE.
include(${CMAKE_CURRENT_LIST_DIR}/../run_command.cmake)

function(installed_files prefix result)
    file(GLOB_RECURSE files RELATIVE ${prefix} ${prefix}/*)
    list(SORT files)
    set(${result} "${files}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} -S ${PARENT_DIR} -B ${build} -DD88_SOURCE_DIR=${D88_SOURCE_DIR} -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build ${build})
run(${build}/consumer ${SAMPLE})
if(NOT run_output STREQUAL "3\n")
    message(FATAL_ERROR "the embedded consumer printed '${run_output}', not 3")
endif()
foreach(unwanted bin/tablecut bin/scancut sample tools/make_sample fuzz)
    if(EXISTS ${build}/d88image/${unwanted})
        message(FATAL_ERROR "an embedded build made ${unwanted}")
    endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --target reaches_into_the_tree
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status EQUAL 0)
    message(FATAL_ERROR "a parent can include the tree's program headers")
endif()

run(${CMAKE_COMMAND} --install ${build} --prefix ${WORK_DIR}/plain)
installed_files(${WORK_DIR}/plain files)
if(NOT files STREQUAL "bin/consumer")
    message(FATAL_ERROR "the parent's install holds more than its own program: ${files}")
endif()

run(${CMAKE_COMMAND} -S ${PARENT_DIR} -B ${build} -DD88_INSTALL=ON)
run(${CMAKE_COMMAND} --install ${build} --prefix ${WORK_DIR}/asked)
foreach(wanted include/d88image/d88image.h lib/libd88image.a lib/cmake/d88image/d88imageConfig.cmake)
    if(NOT EXISTS ${WORK_DIR}/asked/${wanted})
        message(FATAL_ERROR "asked to install, the parent's install lacks ${wanted}")
    endif()
endforeach()
