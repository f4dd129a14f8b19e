
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/check/Version.cpp" "CMakeFiles/readers.dir/src/check/Version.cpp.o" "gcc" "CMakeFiles/readers.dir/src/check/Version.cpp.o.d"
  "/work/main/src/platform/Text.cpp" "CMakeFiles/readers.dir/src/platform/Text.cpp.o" "gcc" "CMakeFiles/readers.dir/src/platform/Text.cpp.o.d"
  "/work/main/src/platform/ini/IniReader.cpp" "CMakeFiles/readers.dir/src/platform/ini/IniReader.cpp.o" "gcc" "CMakeFiles/readers.dir/src/platform/ini/IniReader.cpp.o.d"
  "/work/main/src/platform/xml/XmlTree.cpp" "CMakeFiles/readers.dir/src/platform/xml/XmlTree.cpp.o" "gcc" "CMakeFiles/readers.dir/src/platform/xml/XmlTree.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
