# Image generator tests: the generator's image code is built into a small library here,
# since the generator itself is an executable.
file(GLOB assetgen_image_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/assetgen/images/*.cpp)
add_library(assetgen_images STATIC ${assetgen_image_sources})
target_include_directories(assetgen_images PUBLIC ${PROJECT_SOURCE_DIR}/tools/assetgen)
target_link_libraries(assetgen_images PUBLIC vantor_stb)

file(GLOB image_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Image*Test.cpp)
foreach(test_source ${image_tests})
  get_filename_component(test_name ${test_source} NAME_WE)
  add_executable(${test_name} ${test_source})
  target_link_libraries(${test_name} PRIVATE assetgen_images GTest::gtest_main)
  gtest_discover_tests(${test_name} DISCOVERY_TIMEOUT 30 PROPERTIES LABELS images)
endforeach()
