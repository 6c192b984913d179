# WebAssembly for the browser page: clang's wasm32-wasi target over Debian's
# WASI C library and libc++ (wasi-libc, libc++-14-dev-wasm32,
# libc++abi-14-dev-wasm32, libclang-rt-14-dev-wasm32). The module is a
# reactor: no main, the page's loader calls its exports.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# Archives need a symbol index that wasm-ld can read, which GNU ar does not
# write for wasm objects.
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib REQUIRED)

# The C++ library is built without exceptions' run time; nothing here throws.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-mexec-model=reactor")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(KRT_WEB ON CACHE BOOL "Build the browser page's WebAssembly module instead of the native programs")
