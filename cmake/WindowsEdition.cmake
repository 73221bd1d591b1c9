# What the Windows edition takes from outside: the recognizer's libraries
# built for Windows by scripts/build-windows, GoogleTest built from Debian's
# sources, and Wine to run the tests.
set(ZEL_SPHINX_PREFIX "" CACHE PATH "sphinxbase and pocketsphinx built for Windows (scripts/build-windows)")
if(NOT EXISTS ${ZEL_SPHINX_PREFIX}/lib/libpocketsphinx.a)
  message(FATAL_ERROR "ZEL_SPHINX_PREFIX (${ZEL_SPHINX_PREFIX}) holds no pocketsphinx for Windows: build with scripts/build-windows")
endif()
add_library(zel_sphinx_windows INTERFACE)
target_include_directories(zel_sphinx_windows SYSTEM INTERFACE
  ${ZEL_SPHINX_PREFIX}/include ${ZEL_SPHINX_PREFIX}/include/sphinxbase ${ZEL_SPHINX_PREFIX}/include/pocketsphinx)
target_link_libraries(zel_sphinx_windows INTERFACE
  ${ZEL_SPHINX_PREFIX}/lib/libpocketsphinx.a ${ZEL_SPHINX_PREFIX}/lib/libsphinxad.a
  ${ZEL_SPHINX_PREFIX}/lib/libsphinxbase.a winmm)

# The US-English acoustic model is copied from Debian's pocketsphinx-en-us.
set(ZEL_SPHINX_MODEL_SOURCE /usr/share/pocketsphinx/model/en-us/en-us CACHE PATH "The US-English acoustic model to ship")

# GoogleTest from /usr/src/googletest (Debian's googletest package).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# (its build file names the targets GTest::gtest and GTest::gtest_main itself)

# Tests run under Wine, in a private prefix of the build folder.
find_program(ZEL_WINE wine REQUIRED)
set(ZEL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
