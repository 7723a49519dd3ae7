# System-wide install for packagers: the folders the installed OBS searches, placed under
# the prefix. OBS 29's libobs package names them; newer ones do not, and their OBS looks
# in obs-plugins next to libobs and in share/obs/obs-plugins.
include(GNUInstallDirs)
get_filename_component(_obs_prefix "${libobs_DIR}/../../../.." ABSOLUTE)
if(DEFINED LIBOBS_PLUGIN_DESTINATION AND DEFINED LIBOBS_PLUGIN_DATA_DESTINATION)
  file(RELATIVE_PATH CURTAINUP_PLUGIN_DIR "${_obs_prefix}" "${LIBOBS_PLUGIN_DESTINATION}")
  file(RELATIVE_PATH CURTAINUP_PLUGIN_DATA_DIR "${_obs_prefix}" "${LIBOBS_PLUGIN_DATA_DESTINATION}")
else()
  get_filename_component(_obs_libdir "${libobs_DIR}/../.." ABSOLUTE)
  file(RELATIVE_PATH CURTAINUP_PLUGIN_DIR "${_obs_prefix}" "${_obs_libdir}/obs-plugins")
  set(CURTAINUP_PLUGIN_DATA_DIR "share/obs/obs-plugins")
endif()
install(TARGETS curtainup LIBRARY DESTINATION "${CURTAINUP_PLUGIN_DIR}" COMPONENT plugin)
install(DIRECTORY data/ DESTINATION "${CURTAINUP_PLUGIN_DATA_DIR}/curtainup" COMPONENT plugin)

# Per-user install (see UserInstall.cmake).
curtainup_add_user_install(install-user curtainup "${PROJECT_SOURCE_DIR}/data")
