file(REMOVE_RECURSE
  "CMakeFiles/readers.dir/src/check/Version.cpp.o"
  "CMakeFiles/readers.dir/src/check/Version.cpp.o.d"
  "CMakeFiles/readers.dir/src/platform/Text.cpp.o"
  "CMakeFiles/readers.dir/src/platform/Text.cpp.o.d"
  "CMakeFiles/readers.dir/src/platform/ini/IniReader.cpp.o"
  "CMakeFiles/readers.dir/src/platform/ini/IniReader.cpp.o.d"
  "CMakeFiles/readers.dir/src/platform/xml/XmlTree.cpp.o"
  "CMakeFiles/readers.dir/src/platform/xml/XmlTree.cpp.o.d"
  "libreaders.a"
  "libreaders.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/readers.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
