# Install step of the device tree (run by `cmake --install`): the web root
# through scripts/stage-www, and the configuration database (install-db.cmake:
# the factory configuration, mode 0600, only when the tree has none yet).
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

message(STATUS "Staging: ${root}/usr/app/yal/www")
execute_process(COMMAND "${KORVAN_SOURCE_DIR}/scripts/stage-www" "${root}/usr/app/yal/www"
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "scripts/stage-www failed: ${rc}")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/install-db.cmake")

# The reference web server configuration and its certificate maker.
message(STATUS "Installing: ${root}/etc/lighttpd-korvan.conf, ${root}/etc/korvan-cert")
file(INSTALL "${KORVAN_SOURCE_DIR}/etc/lighttpd-korvan.conf" DESTINATION "${root}/etc")
file(INSTALL "${KORVAN_SOURCE_DIR}/etc/korvan-cert" DESTINATION "${root}/etc"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
