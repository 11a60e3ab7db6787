file(REMOVE_RECURSE
  "libcyclochord_testsupport.a"
)
