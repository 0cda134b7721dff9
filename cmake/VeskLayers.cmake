# The areas under src/, lowest first. An area may include and call itself and the areas before
# it, never one after it: cmake/CheckLayers.cmake holds the includes to this order, and each area
# is a library of its own that links only the areas before it.
set(VESK_LAYER_ORDER platform foundation graphics sound movie script game screens app)

# A static library only pulls the objects a link asks for, so a call up the order can hide behind
# an object the higher area already brought in. This links every object of LIB with what LIB
# links and nothing more: a call into a later area is an undefined reference and the build stops.
function(vesk_check_layer_link LIB)
    set(main ${CMAKE_CURRENT_BINARY_DIR}/layer_link_main.cpp)
    file(CONFIGURE OUTPUT ${main} CONTENT "int main()\n{\n    return 0;\n}\n")
    add_executable(${LIB}_links ${main})
    target_link_libraries(${LIB}_links PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${LIB}>")
endfunction()

# Runs the include checks (CheckBoundary.cmake, which also holds every lock to a level, and
# CheckLayers.cmake with the KNOWN climbs) over SRC_DIR as the target include_checks, part of every
# build and again whenever a source changes.
# Areas that depend on it do not compile past an include up the order, across the platform
# boundary or out of its folder with "..", even one used only for a type or a constant, which
# would otherwise compile and link.
function(vesk_check_includes SRC_DIR KNOWN)
    set(cmake_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${SRC_DIR}/*.h ${SRC_DIR}/*.cpp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/include_checks.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DSRC=${SRC_DIR} -P ${cmake_dir}/CheckBoundary.cmake
        COMMAND ${CMAKE_COMMAND} -DSRC=${SRC_DIR} -DKNOWN=${KNOWN} -DSTAMP=${stamp}
                -P ${cmake_dir}/CheckLayers.cmake
        DEPENDS ${sources} ${KNOWN} ${cmake_dir}/CheckBoundary.cmake ${cmake_dir}/CheckLayers.cmake
                ${cmake_dir}/VeskLayers.cmake
        COMMENT "Checking the includes between the areas and the lock levels"
        VERBATIM)
    add_custom_target(include_checks ALL DEPENDS ${stamp})
endfunction()
