# Run by CPack on the staged files before it packs them (CPACK_PRE_BUILD_SCRIPTS).
# Debian keeps games in /usr/games (Debian Policy 11.11); the program still finds its data in
# ../share/pyra3 beside its folder. A plain install keeps bin/pyra3.
set(stage ${CPACK_TEMPORARY_DIRECTORY}/usr)
file(MAKE_DIRECTORY ${stage}/games)
file(RENAME ${stage}/bin/pyra3 ${stage}/games/pyra3)
file(REMOVE_RECURSE ${stage}/bin)
# What dh_strip also takes away: the compilers' notes.
execute_process(
  COMMAND ${CPACK_PYRA_STRIP} --remove-section=.comment --remove-section=.note ${stage}/games/pyra3
  COMMAND_ERROR_IS_FATAL ANY)
# Directories and the program 0755, every other file 0644, whatever the umask of the build.
execute_process(COMMAND chmod -R u=rwX,go=rX ${stage} COMMAND_ERROR_IS_FATAL ANY)
