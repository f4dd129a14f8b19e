file(REMOVE_RECURSE
  "libupdater_core.a"
)
