file(REMOVE_RECURSE
  "CMakeFiles/update_hooks.dir/hooks/HookMain.cpp.o"
  "CMakeFiles/update_hooks.dir/hooks/HookMain.cpp.o.d"
  "update_hooks"
  "update_hooks.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/update_hooks.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
