file(REMOVE_RECURSE
  "CMakeFiles/updater_core.dir/src/app/EndProgram.cpp.o"
  "CMakeFiles/updater_core.dir/src/app/EndProgram.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/app/ProgramEntry.cpp.o"
  "CMakeFiles/updater_core.dir/src/app/ProgramEntry.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/app/StartWindow.cpp.o"
  "CMakeFiles/updater_core.dir/src/app/StartWindow.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/app/UpdateState.cpp.o"
  "CMakeFiles/updater_core.dir/src/app/UpdateState.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/check/UpdateCheck.cpp.o"
  "CMakeFiles/updater_core.dir/src/check/UpdateCheck.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/download/UpdateWindow.cpp.o"
  "CMakeFiles/updater_core.dir/src/download/UpdateWindow.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/platform/posix/HttpCurl.cpp.o"
  "CMakeFiles/updater_core.dir/src/platform/posix/HttpCurl.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/platform/posix/RuntimePosix.cpp.o"
  "CMakeFiles/updater_core.dir/src/platform/posix/RuntimePosix.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/platform/posix/SettingsPosix.cpp.o"
  "CMakeFiles/updater_core.dir/src/platform/posix/SettingsPosix.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/platform/posix/Terminal.cpp.o"
  "CMakeFiles/updater_core.dir/src/platform/posix/Terminal.cpp.o.d"
  "CMakeFiles/updater_core.dir/src/platform/posix/TerminalUi.cpp.o"
  "CMakeFiles/updater_core.dir/src/platform/posix/TerminalUi.cpp.o.d"
  "libupdater_core.a"
  "libupdater_core.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/updater_core.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
