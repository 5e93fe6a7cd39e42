# Makes (MODE=make) or removes (MODE=remove) the folders every test runs in instead of the
# user's own: a home, the XDG configuration, cache, data and runtime folders, and a temporary
# folder. Called by CTest before the first test and after the last, with -DSANDBOX=<folder>.
if(NOT SANDBOX)
  message(FATAL_ERROR "test_sandbox.cmake: SANDBOX is not set")
endif()
file(REMOVE_RECURSE "${SANDBOX}")
if(MODE STREQUAL "make")
  foreach(folder home config cache data runtime tmp)
    file(MAKE_DIRECTORY "${SANDBOX}/${folder}")
  endforeach()
  # Qt refuses a runtime folder that others may enter.
  file(CHMOD "${SANDBOX}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()
