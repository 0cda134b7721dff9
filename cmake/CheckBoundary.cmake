cmake_minimum_required(VERSION 3.20)
# Keeps the layers apart; fails naming every stray include.
# - Outside src/platform an angle-bracket include is a standard C++ header or a compiler
#   intrinsics header; src/sound may also include the Ogg and Vorbis headers it decodes with.
#   Everything else of the system (SDL, FreeType, POSIX, libpng, ...) is the platform layer's.
# - src/platform includes nothing of the engine; src/foundation nothing above itself; neither
#   leaves its folder with "..", which would hide what it reaches.
# - Outside src/platform, whose locks are leaves below the engine's, every lock has a level of
#   foundation/LockOrder.h so that the order checker sees it: a standard mutex stands only inside
#   OrderedMutex.
#   cmake -DSRC=<src dir> [-DSTAMP=<file>] -P CheckBoundary.cmake (the build runs it too)
set(standard
    algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
    cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine
    csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque
    exception execution filesystem format forward_list fstream functional future initializer_list
    iomanip ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource
    mutex new numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
    semaphore set shared_mutex source_location span sstream stack stdexcept stop_token streambuf
    string string_view syncstream system_error thread tuple type_traits typeindex typeinfo
    unordered_map unordered_set utility valarray variant vector version
    # compiler intrinsics, not system headers
    emmintrin.h immintrin.h)
set(engine_areas "foundation|app|graphics|sound|movie|script|screens|game")
set(above_foundation "app|graphics|sound|movie|script|screens|game")

file(GLOB_RECURSE files ${SRC}/*.h ${SRC}/*.cpp)
set(bad "")
set(unlevelled "")
# Notes the file's quoted includes whose path starts as `pattern` says.
macro(refuse_includes pattern)
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"${pattern}")
    if(lines)
        list(APPEND bad "${rel}: ${lines}")
    endif()
endmacro()
foreach(f ${files})
    file(RELATIVE_PATH rel "${SRC}" "${f}")
    if(rel MATCHES "^(platform|foundation)/")
        refuse_includes("([^\"]*/)?\\.\\./")
    endif()
    if(rel MATCHES "^platform/")
        refuse_includes("(${engine_areas})/")
        continue()
    endif()
    if(rel MATCHES "^foundation/")
        refuse_includes("(${above_foundation})/")
    endif()
    if(NOT rel STREQUAL "foundation/OrderedMutex.h")
        file(READ "${f}" text)
        # A semicolon would split the line as a list.
        string(REPLACE ";" "," text "${text}")
        string(REGEX MATCHALL "[^\n]*std::(recursive_|timed_|recursive_timed_|shared_|shared_timed_)?mutex[^_a-z][^\n]*"
                     locks "${text}")
        foreach(line ${locks})
            string(STRIP "${line}" line)
            list(APPEND unlevelled "${rel}: ${line}")
        endforeach()
    endif()
    file(STRINGS "${f}" system_includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
    foreach(line ${system_includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*$" "\\1" header "${line}")
        if(header IN_LIST standard)
            continue()
        endif()
        if(rel MATCHES "^sound/" AND header MATCHES "^(ogg|vorbis)/")
            continue()
        endif()
        list(APPEND bad "${rel}: ${line}")
    endforeach()
endforeach()
set(msg "")
if(bad)
    string(REPLACE ";" "\n" text "${bad}")
    string(APPEND msg "Includes across the layer boundaries:\n${text}\n")
endif()
if(unlevelled)
    string(REPLACE ";" "\n" text "${unlevelled}")
    string(APPEND msg "Locks without a level (use OrderedMutex or CCriticalSection):\n${text}\n")
endif()
if(msg)
    message(FATAL_ERROR "${msg}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
