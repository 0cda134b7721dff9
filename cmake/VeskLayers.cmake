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
