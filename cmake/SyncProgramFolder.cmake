# Copies the generated program files from SOURCE into the program folder TARGET. Databases that
# are already in TARGET are left alone: they may hold a user's data. The empty-ledger template is
# not user data and is always refreshed.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(relative ${files})
  set(from ${SOURCE}/${relative})
  set(to ${TARGET}/${relative})
  string(TOLOWER "${relative}" lower)
  if(lower MATCHES "\\.(mdb|ddb)$" AND EXISTS ${to})
    continue()
  endif()
  get_filename_component(folder ${to} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${from} ${to} ONLY_IF_DIFFERENT)
endforeach()
