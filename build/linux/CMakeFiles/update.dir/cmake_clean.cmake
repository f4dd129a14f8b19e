file(REMOVE_RECURSE
  "CMakeFiles/update.dir/src/platform/posix/MainPosix.cpp.o"
  "CMakeFiles/update.dir/src/platform/posix/MainPosix.cpp.o.d"
  "update"
  "update.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/update.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
