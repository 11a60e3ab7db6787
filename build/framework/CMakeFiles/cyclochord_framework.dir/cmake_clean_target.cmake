file(REMOVE_RECURSE
  "libcyclochord_framework.a"
)
