# Registers one QtTest executable. Every test runs offscreen in the Chinese locale and makes
# its own temporary program folder from the pristine generated files.
function(quill_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quillcore quilltestsupport Qt6::Test ${ARG_LIBS})
  add_dependencies(${name} quill-programfiles)
  quill_rescan_moc_on_new_sources(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=zh_CN.UTF-8;QUILL_TEST=1"
    TIMEOUT 600)
endfunction()
