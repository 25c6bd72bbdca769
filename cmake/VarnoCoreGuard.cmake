# The core must stay free of Qt and operating-system headers so it can be built
# and tested anywhere. This check runs before the core compiles and fails the
# build when a source under src/core includes anything but the standard library,
# {fmt} or the core's own headers.
function(varno_guard_core_includes target dir)
  add_custom_target(${target}_include_guard
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -P ${PROJECT_SOURCE_DIR}/cmake/CheckCoreIncludes.cmake
    COMMENT "Checking that ${dir} includes only standard, {fmt} and core headers"
    VERBATIM)
  add_dependencies(${target} ${target}_include_guard)
endfunction()
