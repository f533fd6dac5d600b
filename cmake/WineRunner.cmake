# A Windows build made on Linux runs its programs under Wine, in a prefix of
# its own inside the build folder (nothing goes to the user's home). ctest
# starts every test program through wine-run.sh; scripts/wine-prefix.sh
# creates the prefix once per test run.
if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(VARNEL_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env.sh @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
