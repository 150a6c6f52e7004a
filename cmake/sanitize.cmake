# Address and undefined-behaviour sanitizers over the whole build (scripts/test --sanitize).
#
# Everything compiled in the tree (the game, its tests and benchmarks) is instrumented; Qt, SDL and
# the image libraries are not. Undefined behaviour stops the program at the first report.
option(TRABEL_SANITIZE "Build and link everything with AddressSanitizer and UBSan" OFF)

if(TRABEL_SANITIZE)
    set(TRABEL_SANITIZE_FLAGS
        -fsanitize=address,undefined
        -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_compile_options(${TRABEL_SANITIZE_FLAGS})
    add_link_options(-fsanitize=address,undefined)
    message(STATUS "Trabel: building with -fsanitize=address,undefined")
endif()
