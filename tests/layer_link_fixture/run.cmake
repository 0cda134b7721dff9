# Builds the fixture in BIN and prints what each target's build answered.
#   cmake -DFIXTURE=<this folder> -DBIN=<build folder> -DVESK_CMAKE_DIR=<cmake/> -DGENERATOR=<gen>
#         -DCXX=<compiler> -P run.cmake
file(REMOVE_RECURSE "${BIN}")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${FIXTURE} -B ${BIN} -G ${GENERATOR}
                        -DCMAKE_CXX_COMPILER=${CXX} -DVESK_CMAKE_DIR=${VESK_CMAKE_DIR}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "fixture does not configure")
endif()
foreach(target program high_links low_links)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BIN} --target ${target}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc EQUAL 0)
        message(STATUS "${target}: builds")
    else()
        string(REGEX MATCH "undefined reference to [^\n]*" why "${out}")
        message(STATUS "${target}: fails: ${why}")
    endif()
endforeach()
