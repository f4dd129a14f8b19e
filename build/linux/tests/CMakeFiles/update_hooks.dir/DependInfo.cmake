
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/hooks/HookMain.cpp" "tests/CMakeFiles/update_hooks.dir/hooks/HookMain.cpp.o" "gcc" "tests/CMakeFiles/update_hooks.dir/hooks/HookMain.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/linux/CMakeFiles/updater_core.dir/DependInfo.cmake"
  "/work/main/build/linux/CMakeFiles/readers.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
