# Installs the build into a fresh prefix, then builds the consumer programs
# against it twice, through find_package and through pkg-config, and runs
# them on the sample image, which holds three disks: the C++ one against the
# static library, the C one against the shared library, whose exported
# symbols must all be the C API's. With the Python package installed, it
# must import from there and find the library.
# Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR, CXX, CXX_FLAGS, SAMPLE; C_API,
# CC, C_FLAGS, NM when the C API is built; PYTHON, PYTHON_DIR when the Python
# package is installed.
include(${CMAKE_CURRENT_LIST_DIR}/../run_command.cmake)

function(expect_three_disks program)
    run(${program} ${SAMPLE})
    if(NOT run_output STREQUAL "3\n")
        message(FATAL_ERROR "${program} printed '${run_output}', not 3")
    endif()
endfunction()

function(expect_summary program)
    run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${program} ${SAMPLE})
    if(NOT run_output STREQUAL "3 disks, ok, 21 files\n")
        message(FATAL_ERROR "${program} printed '${run_output}'")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(installed bin/tablecut bin/scancut bin/d88convert include/d88image/d88image.h share/man/man1/tablecut.1.gz
        share/man/man1/scancut.1.gz share/man/man1/d88convert.1.gz share/doc/d88image/README.md
        share/doc/d88image/LICENSE share/doc/d88image/docs/report.md share/doc/d88image/man/d88info.1)
    if(NOT EXISTS ${prefix}/${installed})
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()

separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS}")

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/cmake-build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" -DCMAKE_C_COMPILER=${CC} "-DCMAKE_C_FLAGS=${C_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
expect_three_disks(${WORK_DIR}/cmake-build/consumer)
if(C_API)
    expect_summary(${WORK_DIR}/cmake-build/c_consumer)
    file(GLOB shared ${prefix}/lib*/libd88image.so.1)
    run(${NM} -D --defined-only ${shared})
    string(REGEX MATCHALL "[^\n]+" symbols "${run_output}")
    list(FILTER symbols EXCLUDE REGEX " d88_[a-z0-9_]+$")
    if(symbols)
        message(FATAL_ERROR "the shared library exports more than the C API: ${symbols}")
    endif()
endif()

if(PYTHON_DIR)
    run(${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/${PYTHON_DIR} PYTHONDONTWRITEBYTECODE=1 ${PYTHON} -c
        "import d88image\nprint(d88image.open('${SAMPLE}').report()['images'][0]['status'])")
    if(NOT run_output STREQUAL "ok\n")
        message(FATAL_ERROR "the installed Python package printed '${run_output}'")
    endif()
endif()

file(GLOB pc_files ${prefix}/*/pkgconfig/d88image.pc ${prefix}/*/*/pkgconfig/d88image.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --cflags --libs d88image)
separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
run(${CXX} ${flags} -std=c++17 ${SOURCE_DIR}/consumer.cpp ${pc_flags} -o ${WORK_DIR}/pkg-config-consumer)
expect_three_disks(${WORK_DIR}/pkg-config-consumer)

if(C_API)
    run(pkg-config --cflags --libs d88image-c)
    separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
    separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS}")
    run(${CC} ${c_flags} -std=c99 -Wall -Werror ${SOURCE_DIR}/../c_api/summary.c ${pc_flags}
        -o ${WORK_DIR}/pkg-config-c-consumer)
    expect_summary(${WORK_DIR}/pkg-config-c-consumer)
endif()
