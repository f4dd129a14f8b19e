
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/unit/IniReaderTest.cpp" "tests/CMakeFiles/unit_tests.dir/unit/IniReaderTest.cpp.o" "gcc" "tests/CMakeFiles/unit_tests.dir/unit/IniReaderTest.cpp.o.d"
  "/work/main/tests/unit/TextTest.cpp" "tests/CMakeFiles/unit_tests.dir/unit/TextTest.cpp.o" "gcc" "tests/CMakeFiles/unit_tests.dir/unit/TextTest.cpp.o.d"
  "/work/main/tests/unit/VersionTest.cpp" "tests/CMakeFiles/unit_tests.dir/unit/VersionTest.cpp.o" "gcc" "tests/CMakeFiles/unit_tests.dir/unit/VersionTest.cpp.o.d"
  "/work/main/tests/unit/XmlTreeTest.cpp" "tests/CMakeFiles/unit_tests.dir/unit/XmlTreeTest.cpp.o" "gcc" "tests/CMakeFiles/unit_tests.dir/unit/XmlTreeTest.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/linux/CMakeFiles/updater_core.dir/DependInfo.cmake"
  "/work/main/build/linux/CMakeFiles/readers.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
