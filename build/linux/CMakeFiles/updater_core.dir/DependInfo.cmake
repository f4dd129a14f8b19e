
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/app/EndProgram.cpp" "CMakeFiles/updater_core.dir/src/app/EndProgram.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/app/EndProgram.cpp.o.d"
  "/work/main/src/app/ProgramEntry.cpp" "CMakeFiles/updater_core.dir/src/app/ProgramEntry.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/app/ProgramEntry.cpp.o.d"
  "/work/main/src/app/StartWindow.cpp" "CMakeFiles/updater_core.dir/src/app/StartWindow.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/app/StartWindow.cpp.o.d"
  "/work/main/src/app/UpdateState.cpp" "CMakeFiles/updater_core.dir/src/app/UpdateState.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/app/UpdateState.cpp.o.d"
  "/work/main/src/check/UpdateCheck.cpp" "CMakeFiles/updater_core.dir/src/check/UpdateCheck.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/check/UpdateCheck.cpp.o.d"
  "/work/main/src/download/UpdateWindow.cpp" "CMakeFiles/updater_core.dir/src/download/UpdateWindow.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/download/UpdateWindow.cpp.o.d"
  "/work/main/src/platform/posix/HttpCurl.cpp" "CMakeFiles/updater_core.dir/src/platform/posix/HttpCurl.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/platform/posix/HttpCurl.cpp.o.d"
  "/work/main/src/platform/posix/RuntimePosix.cpp" "CMakeFiles/updater_core.dir/src/platform/posix/RuntimePosix.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/platform/posix/RuntimePosix.cpp.o.d"
  "/work/main/src/platform/posix/SettingsPosix.cpp" "CMakeFiles/updater_core.dir/src/platform/posix/SettingsPosix.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/platform/posix/SettingsPosix.cpp.o.d"
  "/work/main/src/platform/posix/Terminal.cpp" "CMakeFiles/updater_core.dir/src/platform/posix/Terminal.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/platform/posix/Terminal.cpp.o.d"
  "/work/main/src/platform/posix/TerminalUi.cpp" "CMakeFiles/updater_core.dir/src/platform/posix/TerminalUi.cpp.o" "gcc" "CMakeFiles/updater_core.dir/src/platform/posix/TerminalUi.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/linux/CMakeFiles/readers.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
