# Install step of the device tree (run by `cmake --install`): the web root
# through scripts/stage-www, and the configuration database from
# db/schema.sql and db/seed.sql when the tree has none yet. An existing
# database holds the device's configuration and is never replaced.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

message(STATUS "Staging: ${root}/usr/app/yal/www")
execute_process(COMMAND "${KORVAN_SOURCE_DIR}/scripts/stage-www" "${root}/usr/app/yal/www"
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "scripts/stage-www failed: ${rc}")
endif()

set(db "${root}/usr/app/korvan.db")
if(EXISTS "${db}")
  message(STATUS "Keeping: ${db}")
else()
  # Built beside and renamed, so that a failure leaves no half database that a
  # later install would keep.
  message(STATUS "Creating: ${db}")
  file(REMOVE "${db}.new")
  execute_process(COMMAND sqlite3 -bail "${db}.new"
                          ".read ${KORVAN_SOURCE_DIR}/db/schema.sql"
                          ".read ${KORVAN_SOURCE_DIR}/db/seed.sql"
                  RESULT_VARIABLE rc)
  if(rc)
    file(REMOVE "${db}.new")
    message(FATAL_ERROR "creating ${db} failed: ${rc}")
  endif()
  file(RENAME "${db}.new" "${db}")
endif()
