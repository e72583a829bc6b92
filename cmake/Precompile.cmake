# Precompiled headers. Most of a translation unit's compile time here is Qt's
# and GoogleTest's headers, parsed again for each of some 150 files in each of
# the three builds that CI makes. Two headers are precompiled: the Qt Core one
# for the program's libraries and programs, and Qt Core, Qt Sql and
# GoogleTest for the tests; every other target reuses one of them. GCC only
# (clang refuses a reused header whose flags differ even slightly, and the
# fuzz build is the one clang build).
option(ROBOT_PCH "Precompile Qt's and GoogleTest's headers (GCC)" ON)

set(ROBOT_PCH_CORE
  <QByteArray> <QCoreApplication> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash>
  <QList> <QObject> <QString> <QStringList> <QTimer> <QVariant>)
set(ROBOT_PCH_TESTS ${ROBOT_PCH_CORE}
  <QSqlDatabase> <QSqlError> <QSqlQuery> <QTemporaryDir> <gtest/gtest.h>)

# Every target below `dir`, into `out`.
function(robot_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    robot_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(robot_precompile_headers)
  if(NOT ROBOT_PCH OR ROBOT_BUILD_FUZZ OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  target_precompile_headers(robot_core PRIVATE ${ROBOT_PCH_CORE})
  if(TARGET test_support)
    target_precompile_headers(test_support PRIVATE ${ROBOT_PCH_TESTS})
  endif()
  # A compiler cache in front (CMAKE_CXX_COMPILER_LAUNCHER=ccache) can keep
  # what uses a precompiled header only with this, and its sloppiness set to
  # pch_defines,time_macros (docs/developing.md).
  set(pch_preprocess -fpch-preprocess)
  robot_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(dir ${target} SOURCE_DIR)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    target_compile_options(${target} PRIVATE ${pch_preprocess})
    if(target STREQUAL "robot_core" OR target STREQUAL "test_support")
      continue()
    endif()
    get_target_property(visibility ${target} CXX_VISIBILITY_PRESET)
    if(visibility) # the simulator: a header built with other visibility does not serve
      target_precompile_headers(${target} PRIVATE ${ROBOT_PCH_CORE})
    elseif(dir MATCHES "^${PROJECT_SOURCE_DIR}/tests")
      target_precompile_headers(${target} REUSE_FROM test_support)
    else()
      target_precompile_headers(${target} REUSE_FROM robot_core)
    endif()
  endforeach()
endfunction()
