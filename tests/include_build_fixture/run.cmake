# Builds the fixture in BIN without and with the include checks and prints what each build answered.
#   cmake -DFIXTURE=<this folder> -DBIN=<build folder> -DVESK_CMAKE_DIR=<cmake/> -DGENERATOR=<gen>
#         -DCXX=<compiler> -P run.cmake
foreach(checks OFF ON)
    file(REMOVE_RECURSE "${BIN}")
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${FIXTURE} -B ${BIN} -G ${GENERATOR}
                            -DCMAKE_CXX_COMPILER=${CXX} -DVESK_CMAKE_DIR=${VESK_CMAKE_DIR}
                            -DVESK_INCLUDE_CHECKS=${checks}
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "fixture does not configure")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BIN}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc EQUAL 0)
        message(STATUS "checks ${checks}: builds")
    else()
        string(REGEX MATCHALL "graphics/[A-Za-z]+.cpp: #include \"[^\"]+\"" why "${out}")
        message(STATUS "checks ${checks}: fails: ${why}")
    endif()
endforeach()
