# The configuration database of the device tree, `usr/app/korvan.db` under
# $DESTDIR and CMAKE_INSTALL_PREFIX: made from db/schema.sql and db/factory.sql
# (the administrator account alone, with the first-login flag set) when the
# tree has none yet. An existing database holds the device's configuration and
# is never replaced.
#
# The database holds every password: it is made readable and writable by its
# owner alone (mode 0600), from its first byte on. The program runs as that
# owner.
#
# Run by install-tree.cmake; on its own with
#   cmake -DKORVAN_SOURCE_DIR=SRC -DCMAKE_INSTALL_PREFIX=ROOT -P cmake/install-db.cmake
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(db "${root}/usr/app/korvan.db")
if(EXISTS "${db}")
  message(STATUS "Keeping: ${db}")
  return()
endif()

# Built beside and renamed, so that a failure leaves no half database that a
# later install would keep.
message(STATUS "Creating: ${db}")
file(MAKE_DIRECTORY "${root}/usr/app")
file(REMOVE "${db}.new")
execute_process(COMMAND sh -c "umask 077 && exec sqlite3 -bail \"$0\" \".read $1\" \".read $2\""
                        "${db}.new" "${KORVAN_SOURCE_DIR}/db/schema.sql"
                        "${KORVAN_SOURCE_DIR}/db/factory.sql"
                RESULT_VARIABLE rc)
if(rc)
  file(REMOVE "${db}.new")
  message(FATAL_ERROR "creating ${db} failed: ${rc}")
endif()
file(RENAME "${db}.new" "${db}")
