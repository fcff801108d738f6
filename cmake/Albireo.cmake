# Helpers shared by every folder of the build.

# A component library loaded at run time: "Name.dll" is libName.so in the
# program folder (or in SUBDIR below it).
function(albireo_add_component target name)
  cmake_parse_arguments(C "" "SUBDIR" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${C_SOURCES})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} PREFIX lib CXX_VISIBILITY_PRESET hidden)
  if(C_SUBDIR)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ALBIREO_PROGRAM_DIR}/${C_SUBDIR})
  endif()
  target_link_libraries(${target} PRIVATE ${C_LIBS})
  install(TARGETS ${target} LIBRARY DESTINATION ${ALBIREO_INSTALL_DIR}/${C_SUBDIR})
endfunction()

# An executable of the program folder; ALBIREO_VERSION is its version text.
function(albireo_add_program target)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LIBS})
  target_compile_definitions(${target} PRIVATE ALBIREO_VERSION="${PROJECT_VERSION}")
  install(TARGETS ${target} RUNTIME DESTINATION ${ALBIREO_INSTALL_DIR})
  install(CODE "file(MAKE_DIRECTORY \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin)
    file(CREATE_LINK ../${ALBIREO_INSTALL_DIR}/${target} \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${target} SYMBOLIC)")
endfunction()

# Copies a data folder into the program folder at build time and installs it.
function(albireo_add_data_dir name source_dir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${source_dir} ${source_dir}/*)
  list(FILTER files EXCLUDE REGEX "CMakeLists.txt$")
  set(outputs)
  foreach(f ${files})
    set(out ${ALBIREO_PROGRAM_DIR}/${name}/${f})
    add_custom_command(OUTPUT ${out} COMMAND ${CMAKE_COMMAND} -E copy ${source_dir}/${f} ${out}
                       DEPENDS ${source_dir}/${f} VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  add_custom_target(data_${name} ALL DEPENDS ${outputs})
  install(DIRECTORY ${source_dir}/ DESTINATION ${ALBIREO_INSTALL_DIR}/${name} PATTERN CMakeLists.txt EXCLUDE)
endfunction()

# A GoogleTest program; its tests are found by CTest when they run. The test
# main (tests/support) finds the program folder and the sources and runs
# offscreen; the environment may still point elsewhere. FIXTURES names CTest
# fixtures its tests need (pg_server: the PostgreSQL test server is stopped
# after them).
function(albireo_add_test target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;FIXTURES" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE albireo_testsupport ${T_LIBS})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(properties TIMEOUT 600)
  if(T_FIXTURES)
    list(APPEND properties FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
