# Warnings and sanitizers as INTERFACE libraries, linked PRIVATE per target.
add_library(velkorn_warnings INTERFACE)
target_compile_options(velkorn_warnings INTERFACE
  -Wall
  -Wextra
  -Wpedantic
  -Wshadow              # a local hiding a member or an outer name
  -Wconversion          # silent narrowing between char32_t, char and sizes
  -Wsign-conversion
  -Wnon-virtual-dtor    # every interface here is deleted through its base
  -Wold-style-cast
  -Woverloaded-virtual
  -Wimplicit-fallthrough
)

add_library(velkorn_sanitizers INTERFACE)
if(VELKORN_SANITIZE)
  target_compile_options(velkorn_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(velkorn_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
