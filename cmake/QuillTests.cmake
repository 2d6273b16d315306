# The offscreen screen of the tests, with windows drawn without a frame: the platform then never
# reports a frame after a window is shown, so a window sized by its outer size is sized once.
set(QUILL_OFFSCREEN_CONFIG ${CMAKE_BINARY_DIR}/offscreen.json)
file(WRITE ${QUILL_OFFSCREEN_CONFIG} [=[
{ "synchronousWindowSystemEvents": false, "windowFrameMargins": false,
  "screens": [ { "name": "OffscreenScreen", "x": 0, "y": 0, "width": 800, "height": 800,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
]=])

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
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${QUILL_OFFSCREEN_CONFIG};LANG=zh_CN.UTF-8;QUILL_TEST=1"
    TIMEOUT 600)
endfunction()
