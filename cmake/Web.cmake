# The browser build (emcmake cmake with Debian's emscripten): the libraries the native build
# finds on the system come from emscripten itself (GLFW 3, WebGL 2 behind the GL and GLEW
# headers), glm and stb are used header-only, and the audio layer plays through Web Audio.
# Nothing is downloaded: emscripten's ports are not used.

# Failures the engine reports by exception (a music file that cannot be opened, memory
# running out while loading) must be caught in the browser too.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# glm and stb through a folder of links to their own folders only: adding /usr/include itself
# would put the build machine's C library headers before emscripten's.
set(VANTOR_WEB_INCLUDE ${CMAKE_BINARY_DIR}/include-links)
file(MAKE_DIRECTORY ${VANTOR_WEB_INCLUDE})
foreach(folder glm stb)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing (apt-get install libglm-dev libstb-dev)")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${VANTOR_WEB_INCLUDE}/${folder} SYMBOLIC)
endforeach()

# WebGL 2 is OpenGL ES 3.0: the GL and GLEW headers compile unchanged and glewInit succeeds.
set(vantor_web_gl -sUSE_GLFW=3 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2)
add_library(glfw INTERFACE)
target_link_options(glfw INTERFACE ${vantor_web_gl})
add_library(GLEW::GLEW INTERFACE IMPORTED)
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(glm::glm INTERFACE IMPORTED)
target_include_directories(glm::glm INTERFACE ${VANTOR_WEB_INCLUDE})
# Debian's stb library is built for the host; the browser build compiles its own copy.
add_library(stb STATIC ${CMAKE_SOURCE_DIR}/src/engine/web/StbLibrary.cpp)
target_include_directories(stb PUBLIC ${VANTOR_WEB_INCLUDE}/stb)
set(STB_INCLUDE_DIR ${VANTOR_WEB_INCLUDE}/stb)
# The audio layer's web backend needs neither SDL nor libmpg123.
add_library(SDL2::SDL2 INTERFACE IMPORTED)
add_library(PkgConfig::MPG123 INTERFACE IMPORTED)
