file(REMOVE_RECURSE
  "CMakeFiles/companion.dir/fixtures/Companion.cpp.o"
  "CMakeFiles/companion.dir/fixtures/Companion.cpp.o.d"
  "companion"
  "companion.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/companion.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
