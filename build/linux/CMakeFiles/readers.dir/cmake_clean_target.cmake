file(REMOVE_RECURSE
  "libreaders.a"
)
