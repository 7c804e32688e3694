# tvx_library(<name> [DEPS <targets>...] [EXCLUDE <file names>...])
# A static library from every .cpp/.h of the calling folder.
function(tvx_library name)
  cmake_parse_arguments(A "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(ex ${A_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "/${ex}$")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# tvx_test(<name> SOURCES <files>... LIBS <targets>...)
# One QtTest executable registered with CTest, offscreen, German locale, fixed zone.
function(tvx_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  foreach(src ${A_SOURCES})
    if(NOT IS_ABSOLUTE ${src} AND NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
      message(WARNING "test ${name} skipped: ${src} is missing")
      return()
    endif()
  endforeach()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} Qt6::Test)
  target_compile_definitions(${name} PRIVATE SQLITE_HAS_CODEC)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=Europe/Berlin;LANG=de_DE.UTF-8;LC_MESSAGES=C;TVX_SOURCE_DIR=${PROJECT_SOURCE_DIR};TVX_BINARY_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT 600)
endfunction()
