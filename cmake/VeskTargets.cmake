# Helpers that collect sources by folder, so adding a file never needs a CMake edit.

# All .cpp files below DIR, excluding any main.cpp.
function(vesk_collect_sources OUT DIR)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${DIR}/*.cpp" "${DIR}/*.c")
    list(FILTER found EXCLUDE REGEX "/main\\.cpp$")
    set(${OUT} ${found} PARENT_SCOPE)
endfunction()
