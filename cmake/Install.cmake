# System-wide install for packagers: the folders the installed OBS searches, taken from
# its libobs package (lib/<multiarch>/obs-plugins on Debian) and placed under the prefix.
include(GNUInstallDirs)
get_filename_component(_obs_prefix "${libobs_DIR}/../../../.." ABSOLUTE)
if(DEFINED LIBOBS_PLUGIN_DESTINATION AND DEFINED LIBOBS_PLUGIN_DATA_DESTINATION)
  file(RELATIVE_PATH CURTAINUP_PLUGIN_DIR "${_obs_prefix}" "${LIBOBS_PLUGIN_DESTINATION}")
  file(RELATIVE_PATH CURTAINUP_PLUGIN_DATA_DIR "${_obs_prefix}" "${LIBOBS_PLUGIN_DATA_DESTINATION}")
else()
  set(CURTAINUP_PLUGIN_DIR "${CMAKE_INSTALL_LIBDIR}/obs-plugins")
  set(CURTAINUP_PLUGIN_DATA_DIR "${CMAKE_INSTALL_DATADIR}/obs/obs-plugins")
endif()
install(TARGETS curtainup LIBRARY DESTINATION "${CURTAINUP_PLUGIN_DIR}" COMPONENT plugin)
install(DIRECTORY data/ DESTINATION "${CURTAINUP_PLUGIN_DATA_DIR}/curtainup" COMPONENT plugin)

# Per-user install (see UserInstall.cmake).
curtainup_add_user_install(install-user curtainup "${PROJECT_SOURCE_DIR}/data")
