# Installs the build into a fresh prefix, then builds the consumer program
# against it twice, through find_package and through pkg-config, and runs
# both on the sample image, which holds three disks.
# Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR, CXX, CXX_FLAGS, SAMPLE.
include(${CMAKE_CURRENT_LIST_DIR}/../run_command.cmake)

function(expect_three_disks program)
    run(${program} ${SAMPLE})
    if(NOT run_output STREQUAL "3\n")
        message(FATAL_ERROR "${program} printed '${run_output}', not 3")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed bin/tablecut bin/scancut include/d88image/d88image.h share/man/man1/tablecut.1.gz
        share/man/man1/scancut.1.gz share/doc/d88image/README.md share/doc/d88image/LICENSE)
    if(NOT EXISTS ${prefix}/${installed})
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()

separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS}")

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
expect_three_disks(${WORK_DIR}/cmake-build/consumer)

file(GLOB pc_files ${prefix}/*/pkgconfig/d88image.pc ${prefix}/*/*/pkgconfig/d88image.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --cflags --libs d88image)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
run(${CXX} ${flags} -std=c++17 ${SOURCE_DIR}/consumer.cpp ${pc_flags} -o ${WORK_DIR}/pkg-config-consumer)
expect_three_disks(${WORK_DIR}/pkg-config-consumer)
