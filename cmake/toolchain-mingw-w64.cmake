# Cross-compiles for Windows with Debian's mingw-w64 compilers, posix-threads variant
# (std::thread needs it), against the libraries scripts/build-windows-deps.sh builds.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
#         [-DVANTOR_WINDOWS_TRIPLET=i686-w64-mingw32] [-DVANTOR_WINDOWS_DEPS=<prefix>]
#
# VANTOR_WINDOWS_TRIPLET: x86_64-w64-mingw32 (64-bit, the default) or i686-w64-mingw32.
# VANTOR_WINDOWS_DEPS: the library prefix; build-windows-deps.sh prints it, and by default
# it is the "current" link that script keeps in the cache folder. Both may also come from
# the environment.
#
# Only the mingw-w64 sysroot and that prefix are searched: no Linux header or library can
# leak in. glm and stb come from the Debian packages through links in the prefix that
# expose only their own folders.

set(CMAKE_SYSTEM_NAME Windows)

if(NOT VANTOR_WINDOWS_TRIPLET)
  if(DEFINED ENV{VANTOR_WINDOWS_TRIPLET} AND NOT "$ENV{VANTOR_WINDOWS_TRIPLET}" STREQUAL "")
    set(VANTOR_WINDOWS_TRIPLET "$ENV{VANTOR_WINDOWS_TRIPLET}")
  else()
    set(VANTOR_WINDOWS_TRIPLET x86_64-w64-mingw32)
  endif()
endif()
if(VANTOR_WINDOWS_TRIPLET STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
elseif(VANTOR_WINDOWS_TRIPLET STREQUAL "i686-w64-mingw32")
  set(CMAKE_SYSTEM_PROCESSOR x86)
else()
  message(FATAL_ERROR "VANTOR_WINDOWS_TRIPLET must be x86_64-w64-mingw32 or i686-w64-mingw32, "
                      "not '${VANTOR_WINDOWS_TRIPLET}'")
endif()

if(NOT VANTOR_WINDOWS_DEPS)
  if(DEFINED ENV{VANTOR_WINDOWS_DEPS} AND NOT "$ENV{VANTOR_WINDOWS_DEPS}" STREQUAL "")
    set(VANTOR_WINDOWS_DEPS "$ENV{VANTOR_WINDOWS_DEPS}")
  elseif(DEFINED ENV{VANTOR_WINDOWS_CACHE} AND NOT "$ENV{VANTOR_WINDOWS_CACHE}" STREQUAL "")
    set(VANTOR_WINDOWS_DEPS "$ENV{VANTOR_WINDOWS_CACHE}/${VANTOR_WINDOWS_TRIPLET}/current")
  else()
    set(VANTOR_WINDOWS_DEPS "$ENV{HOME}/.cache/vantor/windows/${VANTOR_WINDOWS_TRIPLET}/current")
  endif()
endif()
if(NOT IS_DIRECTORY "${VANTOR_WINDOWS_DEPS}/include")
  message(FATAL_ERROR "No Windows libraries in '${VANTOR_WINDOWS_DEPS}': "
                      "run scripts/build-windows-deps.sh ${VANTOR_WINDOWS_TRIPLET} first")
endif()
get_filename_component(VANTOR_WINDOWS_DEPS "${VANTOR_WINDOWS_DEPS}" REALPATH)
# try_compile projects read this file again; they need the same answers.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTOR_WINDOWS_TRIPLET VANTOR_WINDOWS_DEPS)

set(CMAKE_C_COMPILER ${VANTOR_WINDOWS_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTOR_WINDOWS_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTOR_WINDOWS_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH "${VANTOR_WINDOWS_DEPS}" /usr/${VANTOR_WINDOWS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the Windows prefix only.
set(ENV{PKG_CONFIG_LIBDIR} "${VANTOR_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The libraries are static but for libmpg123's DLL, which the release carries beside the
# programs; so are the compiler's own (libstdc++, libgcc, winpthread). -L lets plain library names
# (stb) resolve in the prefix.
set(GLEW_USE_STATIC_LIBS ON)
# No build machine path in what ships: file names the compiler records (assertion texts)
# are given relative to the source tree and the library prefix.
set(VANTOR_PREFIX_MAPS "-ffile-prefix-map=${CMAKE_CURRENT_LIST_DIR}/..=/vantor -ffile-prefix-map=${VANTOR_WINDOWS_DEPS}=/prefix")
set(CMAKE_C_FLAGS_INIT "${VANTOR_PREFIX_MAPS}")
set(CMAKE_CXX_FLAGS_INIT "${VANTOR_PREFIX_MAPS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -L${VANTOR_WINDOWS_DEPS}/lib")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -L${VANTOR_WINDOWS_DEPS}/lib")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -L${VANTOR_WINDOWS_DEPS}/lib")
