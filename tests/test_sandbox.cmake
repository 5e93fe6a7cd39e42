# Makes (MODE=make) or removes (MODE=remove) the folders every test runs in instead of the
# user's own: a home, the XDG configuration, cache, data and runtime folders, and a temporary
# folder. Called by CTest before the first test and after the last, with -DSANDBOX=<folder>.
# Removing fails, after removing everything, when a test left something in the temporary
# folder: each test removes what it makes there.
if(NOT SANDBOX)
  message(FATAL_ERROR "test_sandbox.cmake: SANDBOX is not set")
endif()
if(MODE STREQUAL "remove" AND IS_DIRECTORY "${SANDBOX}/tmp")
  file(GLOB leftovers LIST_DIRECTORIES true "${SANDBOX}/tmp/*" "${SANDBOX}/tmp/.*")
endif()
file(REMOVE_RECURSE "${SANDBOX}")
if(MODE STREQUAL "make")
  foreach(folder home config cache data runtime tmp)
    file(MAKE_DIRECTORY "${SANDBOX}/${folder}")
  endforeach()
  # Qt refuses a runtime folder that others may enter.
  file(CHMOD "${SANDBOX}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
elseif(leftovers)
  list(JOIN leftovers "\n  " listed)
  message(SEND_ERROR "Tests left these in their temporary folder (now removed):\n  ${listed}")
endif()
